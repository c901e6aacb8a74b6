// The installation run: the checks before writing, the restore with its routing inside a
// transaction, the stop messages; the check of the payload and the recovery at start-up.
#include "wizard/InstallRun.h"

#include <exception>
#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/BackupFile.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/FileSignature.h"
#include "platform/MessagePump.h"
#include "platform/Shell.h"
#include "platform/gui/Application.h"
#include "platform/gui/Graphics.h"
#include "shell/ShortCut.h"
#include "wizard/FileRouting.h"
#include "wizard/InstallHost.h"
#include "wizard/Services.h"
#include "wizard/Texts.h"

namespace wizard {

namespace {

// Why a signed installer's signature makes it damaged, empty when it does not: a signature that
// does not match the file's bytes, or a certificate table with no signature the system can read.
// An unsigned installer, and a signer the system does not trust or whose certificate has
// expired, are not the installer's to judge: Windows and the browser warn the user of those.
std::string SignatureDamage(const archive::ArchiveWalker& walker, const std::string& path) {
  if (walker.CertificateTableSize() == 0) return std::string();
  const plat::SignatureVerdict verdict = plat::CheckFileSignature(path);
  if (verdict.state != plat::SignatureState::kMismatch &&
      verdict.state != plat::SignatureState::kNotFound) {
    return std::string();
  }
  // The system's code in hex, as its documentation gives it. Not snprintf: MinGW's printf
  // family would bring its floating-point formatting into the installer.
  std::string damage = verdict.state == plat::SignatureState::kMismatch
                           ? "the signature does not match the file's bytes (0x"
                           : "the certificate table holds no signature the system can read (0x";
  for (int shift = 28; shift >= 0; shift -= 4) {
    damage += "0123456789ABCDEF"[(verdict.code >> shift) & 0xF];
  }
  return damage + ")";
}

// The screen cursor for the length of an installation run, and the run's flag, put back
// however the run ends.
class RunScope {
 public:
  explicit RunScope(bool& active) : active_(active) {
    active_ = true;
    gui::Application().SetCursor(gui::crHourGlass);
  }
  ~RunScope() {
    gui::Application().SetCursor(gui::crDefault);
    active_ = false;
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  bool& active_;
};

// A share of the whole run's margin for each member: the cluster its file ends in, its
// journal record and its part of the folders' entries.
constexpr std::int64_t kMarginPerFile = 8 * 1024;
constexpr std::int64_t kMarginPerRun = 256 * 1024;

// Megabytes with one decimal and a decimal comma, rounded up or down. Not a printf: MinGW's
// printf family would bring its floating-point formatting into the installer.
std::string Megabytes(std::int64_t bytes, bool up) {
  constexpr std::int64_t kTenth = 1024 * 1024 / 10;
  std::int64_t tenths = bytes / kTenth;
  if (up && bytes % kTenth != 0) ++tenths;
  return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}

// The deepest folder of path that exists: the drive's free space is asked there, as a folder
// further down may be another drive mounted into this one.
std::string DeepestExistingFolder(plat::FileSystem& fs, const std::string& path) {
  std::string folder = plat::ExcludeTrailingBackslash(path);
  while (!folder.empty() && !fs.DirectoryExists(folder)) folder = plat::ParentFolder(folder);
  return folder;
}

// "3 file, 2 cartelle e 3 collegamenti": the changes an undo took back; empty when none.
std::string UndoneCounts(const UndoReport& r) {
  std::vector<std::string> parts;
  if (r.files > 0) parts.push_back(std::to_string(r.files) + kCountFiles);
  if (r.folders > 0) {
    parts.push_back(std::to_string(r.folders) + (r.folders == 1 ? kCountFolder : kCountFolders));
  }
  if (r.links > 0) {
    parts.push_back(std::to_string(r.links) + (r.links == 1 ? kCountLink : kCountLinks));
  }
  if (r.registry > 0) {
    parts.push_back(std::to_string(r.registry) +
                    (r.registry == 1 ? kCountRegistryOne : kCountRegistry));
  }
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += i + 1 == parts.size() ? " e " : ", ";
    text += parts[i];
  }
  return text;
}

// Each change an undo could not take back, and where the journal that will try again is.
std::string UndoFailuresText(const UndoReport& r, const std::string& journal) {
  if (r.failures.empty()) return std::string();
  std::string text = kUndoFailedText;
  for (const UndoFailure& f : r.failures) {
    if (f.kind == ChangeKind::kBegin) {
      text += kUndoJournalText + f.path + kUndoNotRemovedText;
      continue;
    }
    if (f.kind == ChangeKind::kRegistryValue) {
      text += kUndoValueText + f.valueName + kUndoValueKeyText + f.path + kUndoValueNotRestoredText;
      continue;
    }
    text += (f.kind == ChangeKind::kLink ? kUndoLinkText : kUndoFileText) + f.path;
    text += f.backup.empty() ? std::string(kUndoNotRemovedText)
                             : std::string(kUndoNotRestoredText) + f.backup;
  }
  return text + kUndoRetryText + journal;
}

}  // namespace

std::int64_t SpaceNeeded(std::int64_t fileBytes, std::size_t files) {
  return fileBytes + kMarginPerRun + kMarginPerFile * static_cast<std::int64_t>(files);
}

InstallRun::InstallRun(InstallHost& host)
    : host_(host),
      linkFiles_(CurrentServices().Files(), slot_),
      linkShell_(CurrentServices().Shell(), slot_),
      linkRegistry_(CurrentServices().Registry(), slot_) {}

bool ScanPayloadDamaged(plat::FileStream& payload, std::string& why) {
  try {
    archive::ArchiveWalker walker(payload, plat::ModuleFileName());
    archive::ScanArchive(walker);
    // A signed file is checked whole against its signature, so that a byte changed anywhere,
    // even where the archive format cannot see it, disables "Installa" from the start.
    why = SignatureDamage(walker, plat::ModuleFileName());
    return !why.empty();
  } catch (const std::exception& e) {
    why = e.what();
    return true;
  }
}

bool InstallRun::Execute(const std::string& destination) {
  bool restored = false;
  std::string stop;  // why the run stopped, and what became of its changes
  {
    RunScope run(active_);
    destination_ = destination;
    failedFolder_.clear();
    failedFile_.clear();
    engineError_ = 0;
    ResetShortCutsForRun();
    host_.ShowProgress(true);
    stop = CheckPayloadBeforeInstalling();
    if (stop.empty()) restored = RestoreInTransaction(stop);
  }
  if (restored) {
    host_.MarkInstallDone();
    return true;
  }
  // The controls go back to their state before the run, so that the user can change the
  // folder and try again.
  host_.SetProgress(0, false);
  host_.ShowProgress(false);
  gui::Application().MessageBox(stop, kInstallFailedTitle, plat::mb::kOk | plat::mb::kIconError);
  return false;
}

bool InstallRun::RestoreInTransaction(std::string& stop) {
  plat::FileSystem& fs = CurrentServices().Files();
  InstallTransaction tx(fs, CurrentServices().Registry());
  const std::string journal = JournalFile();
  const bool pending = !journal.empty() && fs.Exists(journal);
  try {
    tx.Begin(journal, destination_);
  } catch (const std::exception&) {
    if (pending) {
      stop = kJournalPendingText + journal + kJournalPendingAdvice;
      return false;
    }
    stop = kJournalNotWrittenText + journal + kJournalNotWrittenAdvice;
    // A journal that was made but could not be written, nor deleted again, is found by the next
    // start, which deletes it.
    if (!journal.empty() && fs.Exists(journal)) {
      UndoReport report;
      report.failures.push_back({ChangeKind::kBegin, journal, std::string(), std::string()});
      stop += UndoFailuresText(report, journal);
    }
    return false;
  }
  bool restored = false;
  {
    // The engine writes through the transaction, and the links are journalled, until the
    // restore has ended however it ends.
    struct Attach {
      TransactionSlot& slot;
      archive::TBackupFile& engine;
      Attach(TransactionSlot& s, archive::TBackupFile& e, InstallTransaction& tx)
          : slot(s), engine(e) {
        slot.current = &tx;
        engine.SetMemberOutput(&tx);
      }
      ~Attach() {
        slot.current = nullptr;
        engine.SetMemberOutput(nullptr);
      }
    } attach(slot_, host_.Engine(), tx);
    try {
      plat::FileStream* payload = host_.PayloadStream();
      payload->Seek(host_.PayloadOffset(), plat::Stream::Origin::Begin);
      restored = host_.Engine().RestoreFromStream(payload, std::string());
    } catch (const std::exception&) {
      restored = false;  // the payload could not be reached: nothing was extracted
    }
  }
  if (restored) {
    try {
      tx.Commit();
      return true;
    } catch (const std::exception&) {
      // Without its commit record the run is not done: it is undone like any other failure.
    }
  }
  const UndoReport undo = tx.Rollback();
  stop = FailedRunText(tx);
  stop += undo.failures.empty() ? std::string(kRunUndoneText)
                                : UndoFailuresText(undo, tx.JournalFile());
  return false;
}

void InstallRun::RecoverInterruptedRun() {
  const Recovery r = wizard::RecoverInterruptedRun(CurrentServices().Files(),
                                                   CurrentServices().Registry(), JournalFile());
  std::string text;
  switch (r.outcome) {
    case Recovery::Outcome::kNone:
      return;
    case Recovery::Outcome::kUndone: {
      const std::string counts = UndoneCounts(r.report);
      text = counts.empty() ? std::string(kInterruptedNothingText)
                            : kInterruptedUndoneText + counts + ".";
      text += r.report.failures.empty() ? std::string(kInterruptedAgainText)
                                        : UndoFailuresText(r.report, r.journal);
      break;
    }
    case Recovery::Outcome::kFinished:
      text = kInterruptedFinishedText;
      break;
    case Recovery::Outcome::kUnreadable:
      text = kInterruptedUnreadableText + r.journal + ".";
      break;
  }
  const bool clean = r.outcome != Recovery::Outcome::kUnreadable && r.report.failures.empty();
  gui::Application().MessageBox(
      text, kInterruptedTitle,
      plat::mb::kOk | (clean ? plat::mb::kIconInformation : plat::mb::kIconWarning));
}

std::string InstallRun::JournalFile() {
  std::string folder;
  if (!CurrentServices().Shell().SpecialFolderPath(plat::SpecialFolder::kCommonAppData, folder)) {
    return std::string();
  }
  return JournalPath(folder);
}

std::string InstallRun::Destination() const {
  return active_ ? destination_ : host_.DestinationFolder();
}

std::string InstallRun::CheckPayloadBeforeInstalling() {
  host_.SetStatusText(kStatusCheckingPayload);
  archive::ArchiveSummary summary;
  std::string damage;
  try {
    archive::ArchiveWalker walker(*host_.PayloadStream(), plat::ModuleFileName());
    int shown = -1;
    walker.SetProgress([this, &shown](std::int64_t done, std::int64_t total) {
      const int percent = archive::TBackupFile::Percentage(done, total);
      if (percent != shown) {
        shown = percent;
        host_.SetProgress(percent, true);
      }
      // As during the restore: the window repaints and the detector's ticks still arrive.
      plat::ProcessMessages();
    });
    summary = archive::VerifyArchive(walker);
    // Again here: the file is shared for writing and may have changed since start-up.
    damage = SignatureDamage(walker, plat::ModuleFileName());
  } catch (const std::exception& e) {
    damage = e.what();
    if (damage.empty()) damage = "the payload cannot be read";
  }
  // The detector ticks on during the check: the bar tells the state as it is now, which may
  // not be the one it told before.
  host_.SetStatusText(host_.StatusText());
  host_.SetProgress(0, false);
  if (!damage.empty()) {
    host_.MarkPayloadDamaged(damage);
    return kPayloadDamagedText;
  }
  // A member the routing would refuse stops the run before its first file.
  std::vector<std::string> targets;
  for (const std::string& name : summary.fileNames) {
    const MemberRoute route = RouteMember(name, destination_);
    if (route.Refused()) return kUnsafeNameText + name;
    targets.push_back(route.target);
  }
  // Room for the whole run at once: what it replaces stays as backups until it commits.
  plat::FileSystem& fs = CurrentServices().Files();
  const std::int64_t needed = SpaceNeeded(summary.fileBytes, summary.files);
  const std::string folder = DeepestExistingFolder(fs, destination_);
  const std::int64_t free = folder.empty() ? -1 : fs.FreeSpace(folder);
  if (free >= 0 && free < needed) {
    return kDiskSpaceText + Megabytes(needed, true) + kDiskSpaceFreeText +
           Megabytes(free, false) + kDiskSpaceAdvice;
  }
  // A file the run would replace that another program holds, or that is read-only, would stop
  // the run halfway: it is named now, before anything is written.
  for (const std::string& target : targets) {
    if (fs.FileExists(target) && !fs.CanOpenExclusive(target)) {
      return kFileInUseText + target + kFileInUseAdvice;
    }
  }
  return std::string();
}

std::string InstallRun::FailedRunText(const InstallTransaction& tx) const {
  const std::string& path = tx.FaultPath();
  switch (tx.LastFault()) {
    case InstallTransaction::Fault::kJournal:
      return kJournalNotWrittenText + path + kJournalNotWrittenAdvice;
    case InstallTransaction::Fault::kDiskFull:
      return kDiskFullText + path + kDiskFullAdvice;
    case InstallTransaction::Fault::kReplace:
      return kFileInUseText + path + kFileInUseAdvice;
    case InstallTransaction::Fault::kCreate:
    case InstallTransaction::Fault::kWrite:
      return kFileNotWrittenText + path + kFileNotWrittenAdvice;
    case InstallTransaction::Fault::kNone:
      break;
  }
  if (!failedFolder_.empty()) {
    return kFolderNotCreatedText + failedFolder_ + kFolderNotCreatedAdvice;
  }
  if (engineError_ == archive::kErrReadFile && !failedFile_.empty()) {
    return kFileNotWrittenText + failedFile_ + kFileNotWrittenAdvice;
  }
  return kInstallFailedText;
}

void InstallRun::EngineError(std::int32_t code, const std::string& target) {
  engineError_ = code;
  failedFile_ = target;
}

void InstallRun::ResetShortCutsForRun() {
  for (shell::TMyShortCut* sc : host_.ShortCuts()) {
    auto it = initialIcons_.find(sc);
    if (it == initialIcons_.end()) {
      initialIcons_.emplace(sc, sc->IconPathName);
    } else {
      sc->IconPathName = it->second;
    }
  }
}

void InstallRun::PrepareFolders(InstallTransaction& tx, const std::string& destination) {
  const std::string folders[] = {destination, destination + "\\" + kTemplatesFolder,
                                 destination + "\\" + kRtfTemplatesFolder};
  try {
    // One level each; a creation that fails is left to the folder chain made below for each
    // target.
    for (const std::string& folder : folders) tx.MakeFolder(folder);
  } catch (const std::exception&) {
    throw plat::Error(kFolderPreparationError);
  }
}

void InstallRun::RestoreFile(std::string& Filename, bool& DoRestore) {
  // Members are written only inside a run's transaction, where every change can be undone.
  InstallTransaction* tx = slot_.Active();
  if (tx == nullptr) throw plat::Error(kFolderPreparationError);
  const std::string destination = Destination();
  const std::string fileName = plat::ExtractFileName(Filename);
  const MemberRoute route = RouteMember(Filename, destination);
  // Refusing the member ends the run with failure; nothing is written outside the folder.
  // (The check before the run refuses such a payload already; this guards every member.)
  if (route.Refused()) throw plat::Error(kUnsafeMemberName + Filename);
  PrepareFolders(*tx, destination);

  Filename = route.target;
  // The target's folder is made here, before the links below point at the program in it: a
  // folder that cannot be made ends the run naming the folder, with no link made. The engine's
  // own making of the folder then finds it there.
  const std::string folder = plat::ExcludeTrailingBackslash(plat::ExtractFilePath(Filename));
  if (!tx->MakeFolders(folder)) {
    failedFolder_ = folder;
    throw plat::Error(kFolderPreparationError);
  }

  // The links are made when the program is met, before its file is written; through the
  // journalled layers, so that a run that fails later removes them again.
  const std::string upperName = plat::AnsiUpperCase(fileName);
  for (shell::TMyShortCut* sc : host_.ShortCuts()) {
    if (plat::AnsiUpperCase(sc->ExeName) != upperName) continue;
    sc->FilePathName = Filename;
    // Prefixed from the value before the run, so that a second match or a second run does
    // not prefix the folder twice.
    auto it = initialIcons_.find(sc);
    const std::string icon = it != initialIcons_.end() ? it->second : sc->IconPathName;
    if (!icon.empty()) sc->IconPathName = destination + "\\" + icon;
    sc->CreateLink();
  }
  // A change the journal could not announce was not made: the run cannot go on and be undone.
  if (tx->LastFault() == InstallTransaction::Fault::kJournal) {
    throw plat::Error(kFolderPreparationError);
  }
  DoRestore = true;
}

}  // namespace wizard
