// The installation run's transaction: journalled changes, their undo and the start-up recovery.
#include "wizard/InstallTransaction.h"

#include <exception>
#include <utility>

#include "platform/Error.h"
#include "platform/Forwarding.h"

namespace wizard {

namespace {

// Names the installer recognises as its own beside a target: the new bytes until they are
// whole, and the file they replace until the run commits.
constexpr char kNewSuffix[] = ".lumi-new";
constexpr char kOldSuffix[] = ".lumi-old";

// Notes a write that the disk could not take whole (the stream contract's short write) and
// any other failing write, before the engine turns either into its error.
class WatchedStream : public plat::ForwardingFileStream {
 public:
  WatchedStream(std::unique_ptr<plat::FileStream> inner, InstallTransaction::Fault& fault,
                std::string& faultPath, std::string target)
      : ForwardingFileStream(std::move(inner)),
        fault_(fault),
        faultPath_(faultPath),
        target_(std::move(target)) {}
  std::int32_t Write(const void* buffer, std::int32_t count) override {
    std::int32_t done = 0;
    try {
      done = ForwardingFileStream::Write(buffer, count);
    } catch (...) {
      Note(InstallTransaction::Fault::kWrite);
      throw;
    }
    if (done < count) Note(InstallTransaction::Fault::kDiskFull);
    return done;
  }

 private:
  void Note(InstallTransaction::Fault fault) {
    fault_ = fault;
    faultPath_ = target_;
  }
  InstallTransaction::Fault& fault_;
  std::string& faultPath_;
  std::string target_;
};

void Failed(UndoReport& report, ChangeKind kind, const std::string& path,
            const std::string& backup = std::string(),
            const std::string& valueName = std::string()) {
  UndoFailure f;
  f.kind = kind;
  f.path = path;
  f.backup = backup;
  f.valueName = valueName;
  report.failures.push_back(f);
}

// Deletes a file that may be there; false only when it is there and stays.
bool Gone(plat::FileSystem& fs, const std::string& path) {
  return !fs.FileExists(path) || fs.DeleteFile(path) || !fs.FileExists(path);
}

// A file or link that replaced another: the new one goes and the old one comes back from its
// backup. A backup that is not there was never made, so the target is still the old one.
bool GiveBack(plat::FileSystem& fs, const std::string& path, const std::string& backup) {
  if (!fs.FileExists(backup)) return true;
  return Gone(fs, path) && fs.RenameFile(backup, path);
}

void UndoChange(const Change& c, plat::FileSystem& fs, plat::RegistryBackend& registry,
                UndoReport& report) {
  switch (c.kind) {
    case ChangeKind::kBegin:
    case ChangeKind::kCommit:
    case ChangeKind::kRollback:
      return;
    case ChangeKind::kFolder:
      // A folder that still holds anything (another program's file, or one that could not be
      // undone and is reported as such) stays.
      if (fs.DirectoryExists(c.path) && fs.RemoveDir(c.path)) ++report.folders;
      return;
    case ChangeKind::kNewFile: {
      const bool made = fs.FileExists(c.path);
      if (!Gone(fs, c.temp)) Failed(report, c.kind, c.temp);
      if (!Gone(fs, c.path)) {
        Failed(report, c.kind, c.path);
      } else if (made) {
        ++report.files;
      }
      return;
    }
    case ChangeKind::kReplacedFile: {
      const bool moved = fs.FileExists(c.backup);
      if (!Gone(fs, c.temp)) Failed(report, c.kind, c.temp);
      if (!GiveBack(fs, c.path, c.backup)) {
        Failed(report, c.kind, c.path, c.backup);
      } else if (moved) {
        ++report.files;
      }
      return;
    }
    case ChangeKind::kLink: {
      bool undone = false;
      bool ok = true;
      if (c.backup.empty()) {
        undone = fs.FileExists(c.path);
        ok = Gone(fs, c.path);
      } else {
        undone = fs.FileExists(c.backup);
        ok = GiveBack(fs, c.path, c.backup);
      }
      if (!ok) {
        Failed(report, c.kind, c.path, c.backup);
      } else if (undone) {
        ++report.links;
      }
      return;
    }
    case ChangeKind::kRegistryKey: {
      plat::RegKey key = 0;
      if (registry.OpenKey(c.root, c.path, key) != plat::reg::kSuccess) return;
      registry.CloseKey(key);
      // Like a folder: a key that others have filled meanwhile stays.
      if (registry.DeleteKey(c.root, c.path) == plat::reg::kSuccess) ++report.registry;
      return;
    }
    case ChangeKind::kRegistryValue: {
      plat::RegKey key = 0;
      if (registry.OpenKey(c.root, c.path, key) != plat::reg::kSuccess) {
        if (c.existed) Failed(report, c.kind, c.path, std::string(), c.valueName);
        return;
      }
      const long result =
          c.existed ? registry.SetValue(key, c.valueName, c.type, c.data.data(), c.data.size())
                    : registry.DeleteValue(key, c.valueName);
      registry.FlushKey(key);
      registry.CloseKey(key);
      if (result == plat::reg::kSuccess || (!c.existed && result == plat::reg::kFileNotFound)) {
        ++report.registry;
      } else {
        Failed(report, c.kind, c.path, std::string(), c.valueName);
      }
      return;
    }
  }
}

UndoReport UndoChanges(const std::vector<Change>& changes, plat::FileSystem& fs,
                       plat::RegistryBackend& registry) {
  UndoReport report;
  for (auto it = changes.rbegin(); it != changes.rend(); ++it) {
    try {
      UndoChange(*it, fs, registry, report);
    } catch (const std::exception&) {
      Failed(report, it->kind, it->path, it->backup, it->valueName);
    }
  }
  return report;
}

// After the commit record: every backup goes. True when none is left.
bool DeleteBackups(const std::vector<Change>& changes, plat::FileSystem& fs) {
  bool all = true;
  for (const Change& c : changes) {
    try {
      if (!c.temp.empty() && !Gone(fs, c.temp)) all = false;
      if ((c.kind == ChangeKind::kReplacedFile || c.kind == ChangeKind::kLink) &&
          !c.backup.empty() && !Gone(fs, c.backup)) {
        all = false;
      }
    } catch (const std::exception&) {
      all = false;
    }
  }
  return all;
}

// Deletes the journal; false when it stays.
bool RemoveJournal(plat::FileSystem& fs, const std::string& path) {
  try {
    return Gone(fs, path);
  } catch (const std::exception&) {
    return false;
  }
}

// Once every change is undone the journal goes; one that stays is told like a change that
// could not be undone, since the next start finds it again.
void CloseUndo(UndoReport& report, plat::FileSystem& fs, const std::string& path) {
  if (report.failures.empty() && !RemoveJournal(fs, path)) {
    Failed(report, ChangeKind::kBegin, path);
  }
}

}  // namespace

InstallTransaction::InstallTransaction(plat::FileSystem& fs, plat::RegistryBackend& registry)
    : fs_(fs), registry_(registry) {}

InstallTransaction::~InstallTransaction() {
  if (state_ != State::kActive) return;
  try {
    Rollback();
  } catch (...) {
    // The journal stays for the next start, which tries again.
  }
}

void InstallTransaction::Begin(const std::string& journalPath, const std::string& destination) {
  journalPath_ = journalPath;
  changes_.clear();
  member_ = Member();
  fault_ = Fault::kNone;
  faultPath_.clear();
  committing_ = false;
  if (journalPath.empty()) {
    Fail(Fault::kJournal, journalPath);
    throw plat::Error("There is no folder for the installation journal.");
  }
  try {
    journal_ = std::make_unique<JournalWriter>(fs_, journalPath, destination);
  } catch (...) {
    Fail(Fault::kJournal, journalPath);
    throw;
  }
  Change begin;
  begin.kind = ChangeKind::kBegin;
  begin.path = destination;
  changes_.push_back(begin);
  state_ = State::kActive;
}

void InstallTransaction::Fail(Fault fault, const std::string& path) {
  fault_ = fault;
  faultPath_ = path;
}

void InstallTransaction::Record(const Change& change) {
  if (state_ != State::kActive) throw plat::Error("No installation is in progress.");
  try {
    journal_->Append(change);
  } catch (...) {
    Fail(Fault::kJournal, journalPath_);
    throw;
  }
  changes_.push_back(change);
}

std::string InstallTransaction::FreeName(const std::string& path, const char* suffix) {
  std::string name = path + suffix;
  for (int n = 2; fs_.Exists(name); ++n) name = path + suffix + std::to_string(n);
  return name;
}

bool InstallTransaction::MakeFolder(const std::string& given) {
  const std::string folder = plat::ExcludeTrailingBackslash(given);
  if (fs_.DirectoryExists(folder)) return true;
  // Without its parent the folder cannot be made: nothing to announce.
  const std::string parent = plat::ParentFolder(folder);
  if (parent.empty() || !fs_.DirectoryExists(parent)) return false;
  try {
    Record(Change::Folder(folder));
  } catch (const std::exception&) {
    return false;
  }
  return fs_.CreateDir(folder) || fs_.DirectoryExists(folder);
}

bool InstallTransaction::MakeFolders(const std::string& given) {
  std::vector<std::string> missing;
  std::string folder = plat::ExcludeTrailingBackslash(given);
  while (!folder.empty() && !fs_.DirectoryExists(folder)) {
    missing.insert(missing.begin(), folder);
    folder = plat::ParentFolder(folder);
  }
  for (const std::string& level : missing)
    if (!MakeFolder(level)) return false;
  return true;
}

std::unique_ptr<plat::FileStream> InstallTransaction::Watch(
    const std::string& target, std::unique_ptr<plat::FileStream> stream) {
  return std::make_unique<WatchedStream>(std::move(stream), fault_, faultPath_, target);
}

const InstallTransaction::Member& InstallTransaction::Current(const std::string& target) const {
  if (member_.target != target) throw plat::Error("Not being written: \"" + target + "\".");
  return member_;
}

std::unique_ptr<plat::FileStream> InstallTransaction::Open(const std::string& target) {
  Member member;
  member.target = target;
  member.temp = FreeName(target, kNewSuffix);
  const bool replacing = fs_.FileExists(target);
  if (replacing) member.backup = FreeName(target, kOldSuffix);
  Record(replacing ? Change::ReplacedFile(target, member.temp, member.backup)
                   : Change::NewFile(target, member.temp));
  member_ = member;
  std::unique_ptr<plat::FileStream> stream;
  try {
    stream = fs_.Create(member.temp);
  } catch (...) {
    Fail(Fault::kCreate, target);
    throw;
  }
  return Watch(target, std::move(stream));
}

std::unique_ptr<plat::FileStream> InstallTransaction::Reopen(const std::string& target) {
  const Member& member = Current(target);
  std::unique_ptr<plat::FileStream> stream;
  try {
    stream = fs_.OpenWrite(member.temp);
    stream->Seek(0, plat::Stream::Origin::End);
  } catch (...) {
    Fail(Fault::kWrite, target);
    throw;
  }
  return Watch(target, std::move(stream));
}

void InstallTransaction::Place(const std::string& target) {
  const Member& member = Current(target);
  if (!member.backup.empty() && fs_.FileExists(target) && !fs_.RenameFile(target, member.backup)) {
    Fail(Fault::kReplace, target);
    throw plat::Error("Cannot move \"" + target + "\" aside.");
  }
  if (!fs_.RenameFile(member.temp, target)) {
    Fail(member.backup.empty() ? Fault::kCreate : Fault::kReplace, target);
    throw plat::Error("Cannot put \"" + target + "\" in place.");
  }
}

void InstallTransaction::Discard(const std::string& target) noexcept {
  try {
    if (member_.target == target) fs_.DeleteFile(member_.temp);
  } catch (...) {
    // The rollback deletes it, or names it.
  }
}

bool InstallTransaction::BeforeLinkSave(const std::string& path) {
  if (state_ != State::kActive) return true;
  try {
    if (!fs_.FileExists(path)) {
      Record(Change::Link(path, std::string()));
      return true;
    }
    const std::string backup = FreeName(path, kOldSuffix);
    Record(Change::Link(path, backup));
    return fs_.RenameFile(path, backup);
  } catch (const std::exception&) {
    return false;
  }
}

bool InstallTransaction::BeforeCreateKey(plat::RegKey root, const std::string& path) {
  if (state_ != State::kActive) return true;
  try {
    Record(Change::RegistryKey(root, path));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

bool InstallTransaction::BeforeSetValue(plat::RegKey root, const std::string& path,
                                        const std::string& name, bool existed,
                                        std::uint32_t type, std::vector<std::uint8_t> old) {
  if (state_ != State::kActive) return true;
  try {
    Record(Change::RegistryValue(root, path, name, existed, type, std::move(old)));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void InstallTransaction::Commit() {
  committing_ = true;
  Record(Change::Commit());
  state_ = State::kCommitted;
  journal_->Close();
  if (DeleteBackups(changes_, fs_)) RemoveJournal(fs_, journalPath_);
}

UndoReport InstallTransaction::Rollback() {
  if (state_ != State::kActive) return UndoReport();
  // A commit record whose writing failed may still have reached the disk: the journal must not
  // end in it, or the next start would finish what is being undone here.
  if (committing_) {
    try {
      journal_->Append(Change::Rollback());
    } catch (const std::exception&) {
      // Then the next start may finish the run instead: the machine ends whole either way.
    }
  }
  state_ = State::kRolledBack;
  journal_->Close();
  UndoReport report = UndoChanges(changes_, fs_, registry_);
  CloseUndo(report, fs_, journalPath_);
  return report;
}

Recovery RecoverInterruptedRun(plat::FileSystem& fs, plat::RegistryBackend& registry,
                               const std::string& journalPath) {
  Recovery recovery;
  recovery.journal = journalPath;
  if (journalPath.empty() || !fs.FileExists(journalPath)) return recovery;
  std::vector<Change> changes;
  try {
    changes = ReadJournal(fs, journalPath);
  } catch (const JournalUnreadable& e) {
    recovery.outcome = Recovery::Outcome::kUnreadable;
    recovery.reason = e.what();
    return recovery;
  }
  if (!changes.empty() && changes.back().kind == ChangeKind::kCommit) {
    recovery.outcome = Recovery::Outcome::kFinished;
    if (DeleteBackups(changes, fs)) RemoveJournal(fs, journalPath);
    return recovery;
  }
  recovery.outcome = Recovery::Outcome::kUndone;
  recovery.report = UndoChanges(changes, fs, registry);
  CloseUndo(recovery.report, fs, journalPath);
  return recovery;
}

}  // namespace wizard
