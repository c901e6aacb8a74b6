// The installation run's journal: every change the run makes to the machine, written and
// flushed to disk before the change itself is made, so that a run that fails, or that is killed
// at any instant (a power cut, the task manager), leaves a file that says what to undo. The run
// deletes it once it has committed or undone everything; a journal found at start-up belongs
// to a run that did neither, and is rolled back (InstallTransaction.h).
//
// The file is text, one record per line:
//
//   <Adler-32 of the rest of the line: 8 lower-case hex digits> <kind>[TAB <field>]... LF
//
// A field's bytes below 0x20, "%" and 0x7F are written as "%" and two hex digits, so a field
// never holds a TAB or a line end. The first record is "begin" with the format's version. A
// last line without its end or with a wrong checksum is the record a killed run was writing:
// its change was never made (the record is flushed before), so reading drops it. Damage
// anywhere else makes the whole journal unreadable: it is never applied in part.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/RegistryBackend.h"

namespace wizard {

enum class ChangeKind : std::uint8_t {
  kBegin,          // path: the run's destination
  kFolder,         // path: a folder about to be made
  kNewFile,        // path: a file that did not exist; temp: where its bytes go first
  kReplacedFile,   // path: an existing file; temp: its new bytes; backup: where it goes aside
  kLink,           // path: a shell link about to be saved; backup: where an existing one went,
                   // empty when there was none
  kRegistryKey,    // root, path: a registry key about to be made
  kRegistryValue,  // root, path, valueName: a value about to be set; existed, type, data: what
                   // it held before
  kCommit,         // every change is made: what is left is to delete the backups
  kRollback,       // the run is being undone, whatever a commit record before it says
};

struct Change {
  ChangeKind kind = ChangeKind::kBegin;
  std::string path;
  std::string temp;
  std::string backup;
  plat::RegKey root = 0;
  std::string valueName;
  bool existed = false;
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;

  static Change Folder(const std::string& path);
  static Change NewFile(const std::string& path, const std::string& temp);
  static Change ReplacedFile(const std::string& path, const std::string& temp,
                             const std::string& backup);
  static Change Link(const std::string& path, const std::string& backup);
  static Change RegistryKey(plat::RegKey root, const std::string& path);
  static Change RegistryValue(plat::RegKey root, const std::string& path,
                              const std::string& name, bool existed, std::uint32_t type,
                              std::vector<std::uint8_t> data);
  static Change Commit();
  static Change Rollback();
};

// A journal that cannot be read whole: what is wrong with it.
class JournalUnreadable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The journal of one run, open for appending.
class JournalWriter {
 public:
  // Makes the journal file at path (its folder must exist) and writes its first record, with the
  // run's destination. Throws plat::Error when a journal is there already (a run that was never
  // undone) or the file cannot be made.
  JournalWriter(plat::FileSystem& fs, const std::string& path, const std::string& destination);

  // Writes the record and flushes it to disk. Throws plat::Error when either fails: the change
  // it announces must not be made then. A record that failed is written over by the next one,
  // so that what is left of it can only be a torn last line.
  void Append(const Change& change);

  const std::string& Path() const { return path_; }
  // Closes the file, so that it can be deleted.
  void Close() { file_.reset(); }

 private:
  plat::FileSystem& fs_;
  std::string path_;
  std::unique_ptr<plat::FileStream> file_;
  std::int64_t end_ = 0;  // where the records that were written whole end
};

// The records of the journal at path, in the order they were written, the torn last one
// dropped. Throws JournalUnreadable when the file cannot be read or a record other than the
// last is damaged, unknown or does not start with "begin".
std::vector<Change> ReadJournal(plat::FileSystem& fs, const std::string& path);

// The journal's fixed place, whatever the destination: in the machine's application data
// folder, under the vendor's and the product's names; empty when that folder is unknown.
std::string JournalPath(const std::string& commonAppData);

}  // namespace wizard
