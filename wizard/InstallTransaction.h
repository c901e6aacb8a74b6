// One installation run's changes to the machine, made all-or-nothing. Each change is written to
// the journal (InstallJournal.h) and flushed before it is made: the folders the run makes, each
// file it adds or replaces, the shell links it saves, the registry keys and values it writes.
// A member's bytes go to a temporary file beside its target; only when the member is whole is
// an existing target moved aside to a backup name (a rename: no copy and no extra space) and
// the new file renamed into place, so no target is ever truncated, and one is missing only
// between two renames. The backups stay until Commit; Rollback undoes every change in reverse,
// and RecoverInterruptedRun does the same at the next start for a run that was killed.
//
// The links and registrations are made by the shell-integration component through the
// journalled layers of JournaledLayers.h, which ask the transaction before each change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/MemberOutput.h"
#include "platform/Files.h"
#include "platform/RegistryBackend.h"
#include "wizard/InstallJournal.h"

namespace wizard {

// A change that could not be undone, and where what it kept waits; kBegin stands for the
// journal itself, which could not be deleted once everything was undone.
struct UndoFailure {
  ChangeKind kind = ChangeKind::kNewFile;
  std::string path;       // the file, link, registry key, or the journal
  std::string backup;     // the previous file or link, when it could not be put back
  std::string valueName;  // kRegistryValue
};

// What an undo did: how many changes it took back, and which it could not.
struct UndoReport {
  int files = 0;
  int folders = 0;
  int links = 0;
  int registry = 0;
  std::vector<UndoFailure> failures;
};

class InstallTransaction : public archive::MemberOutput {
 public:
  // What the transaction saw go wrong last, for the stop message.
  enum class Fault {
    kNone,
    kJournal,   // the journal could not be written: the change was not made
    kCreate,    // a member's temporary file could not be made
    kDiskFull,  // the disk filled up while a member was written
    kWrite,     // a member's bytes could not be written for another reason
    kReplace,   // an existing file could not be moved aside (held open, or read-only)
  };

  InstallTransaction(plat::FileSystem& fs, plat::RegistryBackend& registry);
  // A transaction that was begun and neither committed nor rolled back is rolled back.
  ~InstallTransaction() override;
  InstallTransaction(const InstallTransaction&) = delete;
  InstallTransaction& operator=(const InstallTransaction&) = delete;

  // Starts the journal at journalPath. Throws plat::Error when it cannot be made, or when the
  // journal of an earlier run is still there; nothing has been changed then.
  void Begin(const std::string& journalPath, const std::string& destination);
  // Between Begin and Commit or Rollback.
  bool Active() const { return state_ == State::kActive; }

  // The folder, made when it is missing (one level: its parent must exist). False when it
  // cannot be made, which is the caller's to report; a folder that is there is fine.
  bool MakeFolder(const std::string& folder);
  // Every missing level of the folder, outermost first.
  bool MakeFolders(const std::string& folder);

  // The members' output (archive/MemberOutput.h), journalled.
  std::unique_ptr<plat::FileStream> Open(const std::string& target) override;
  std::unique_ptr<plat::FileStream> Reopen(const std::string& target) override;
  void Place(const std::string& target) override;
  void Discard(const std::string& target) noexcept override;

  // Before a shell link is saved at path: an existing one is moved aside. False when the link
  // must not be saved (the journal or the move failed).
  bool BeforeLinkSave(const std::string& path);
  // Before a registry key is made, and before a value is set, with what the value held. False
  // when the change must not be made.
  bool BeforeCreateKey(plat::RegKey root, const std::string& path);
  bool BeforeSetValue(plat::RegKey root, const std::string& path, const std::string& name,
                      bool existed, std::uint32_t type, std::vector<std::uint8_t> old);

  // The run succeeded: the commit record, then the backups and the journal go. Throws
  // plat::Error when the commit record cannot be written; the transaction is still active then
  // and must be rolled back, which records that it is. A backup that cannot be deleted keeps
  // the journal, whose commit record makes the next start finish the deleting.
  void Commit();
  // Every change undone, in reverse. The journal goes when everything was undone; it stays
  // when something was not, for the next start to try again.
  UndoReport Rollback();

  Fault LastFault() const { return fault_; }
  // The file the last fault concerns, or the journal.
  const std::string& FaultPath() const { return faultPath_; }
  const std::string& JournalFile() const { return journalPath_; }

 private:
  enum class State { kIdle, kActive, kCommitted, kRolledBack };
  // The member being written: the engine writes one at a time, and places or discards it
  // before it opens the next.
  struct Member {
    std::string target;
    std::string temp;
    std::string backup;  // empty for a new file
  };
  // The member whose target this is; throws plat::Error for another.
  const Member& Current(const std::string& target) const;

  // Writes the record and keeps it for a rollback. Throws plat::Error (and notes kJournal).
  void Record(const Change& change);
  void Fail(Fault fault, const std::string& path);
  // A name beside path that nothing holds: path + suffix, with a number added when needed.
  std::string FreeName(const std::string& path, const char* suffix);
  std::unique_ptr<plat::FileStream> Watch(const std::string& target,
                                          std::unique_ptr<plat::FileStream> stream);

  plat::FileSystem& fs_;
  plat::RegistryBackend& registry_;
  State state_ = State::kIdle;
  std::unique_ptr<JournalWriter> journal_;
  std::string journalPath_;
  std::vector<Change> changes_;
  Member member_;
  Fault fault_ = Fault::kNone;
  std::string faultPath_;
  bool committing_ = false;  // the commit record was being written
};

// What the start-up found of a run that did not end.
struct Recovery {
  enum class Outcome {
    kNone,        // no journal: the last run ended
    kUndone,      // its changes were undone (report.failures lists what was not)
    kFinished,    // it had committed: its leftover backups were deleted
    kUnreadable,  // the journal cannot be read whole: left as it is, nothing applied
  };
  Outcome outcome = Outcome::kNone;
  UndoReport report;
  std::string journal;  // the journal's path
  std::string reason;   // kUnreadable: what is wrong with it
};

// Rolls back, or finishes, the run whose journal is at journalPath.
Recovery RecoverInterruptedRun(plat::FileSystem& fs, plat::RegistryBackend& registry,
                               const std::string& journalPath);

}  // namespace wizard
