// The installation run: the check before writing, the restore with its routing, the stop
// messages; and the check of the payload at start-up.
#include "wizard/InstallRun.h"

#include <exception>

#include "archive/ArchiveCheck.h"
#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/FileSignature.h"
#include "platform/MessagePump.h"
#include "platform/gui/Application.h"
#include "shell/ShortCut.h"
#include "wizard/FileRouting.h"
#include "wizard/Services.h"
#include "wizard/Texts.h"
#include "wizard/Unit1.h"

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

}  // namespace

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
  std::string stop;  // why the run stopped before writing anything
  {
    RunScope run(active_);
    destination_ = destination;
    failedFolder_.clear();
    failedFile_.clear();
    failedFileExisted_ = false;
    engineError_ = 0;
    ResetShortCutsForRun();
    form_.ProgressBar1->Show();
    stop = CheckPayloadBeforeInstalling();
    if (stop.empty()) {
      try {
        plat::FileStream* payload = form_.PayloadStream();
        payload->Seek(form_.PayloadOffset(), plat::Stream::Origin::Begin);
        restored = form_.BackupFile1->RestoreFromStream(payload, std::string());
      } catch (const std::exception&) {
        restored = false;  // the payload could not be reached: nothing was extracted
      }
    }
  }
  if (restored) return true;
  // The controls go back to their state before the run, so that the user can change the
  // folder and try again.
  form_.ProgressBar1->SetPosition(0);
  form_.ProgressBar1->Hide();
  gui::Application().MessageBox(stop.empty() ? FailedRunText() : stop, kInstallFailedTitle,
                                plat::mb::kOk | plat::mb::kIconError);
  return false;
}

std::string InstallRun::Destination() const {
  return active_ ? destination_ : form_.LabelDir->Caption();
}

std::string InstallRun::CheckPayloadBeforeInstalling() {
  form_.StatusBar1->SetSimpleText(kStatusCheckingPayload);
  archive::ArchiveSummary summary;
  std::string damage;
  try {
    archive::ArchiveWalker walker(*form_.PayloadStream(), plat::ModuleFileName());
    int shown = -1;
    gui::TProgressBar* bar = form_.ProgressBar1;
    walker.SetProgress([bar, &shown](std::int64_t done, std::int64_t total) {
      const int percent = archive::TBackupFile::Percentage(done, total);
      if (percent != shown) {
        shown = percent;
        bar->SetPosition(percent);
        bar->Repaint();
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
  form_.StatusBar1->SetSimpleText(form_.StatusText());
  form_.ProgressBar1->SetPosition(0);
  if (!damage.empty()) {
    form_.MarkPayloadDamaged(damage);
    return kPayloadDamagedText;
  }
  // A member the routing would refuse stops the run before its first file.
  for (const std::string& name : summary.fileNames) {
    if (RouteMember(name, destination_).Refused()) return kUnsafeNameText + name;
  }
  return std::string();
}

std::string InstallRun::FailedRunText() const {
  if (!failedFolder_.empty()) {
    return kFolderNotCreatedText + failedFolder_ + kFolderNotCreatedAdvice;
  }
  if (engineError_ == archive::kErrReadFile && !failedFile_.empty()) {
    return failedFileExisted_ ? kFileInUseText + failedFile_ + kFileInUseAdvice
                              : kFileNotWrittenText + failedFile_ + kFileNotWrittenAdvice;
  }
  return kInstallFailedText;
}

void InstallRun::EngineError(std::int32_t code, const std::string& target) {
  engineError_ = code;
  failedFile_ = target;
  failedFileExisted_ = currentTargetExisted_;
}

void InstallRun::ResetShortCutsForRun() {
  for (gui::TComponent* c : form_.Components()) {
    if (c->Tag() != kShortCutTag) continue;
    auto* sc = dynamic_cast<shell::TMyShortCut*>(c);
    if (!sc) continue;
    auto it = initialIcons_.find(sc);
    if (it == initialIcons_.end()) {
      initialIcons_.emplace(sc, sc->IconPathName);
    } else {
      sc->IconPathName = it->second;
    }
  }
}

void InstallRun::PrepareFolders(const std::string& destination) {
  plat::FileSystem& fs = CurrentServices().Files();
  const std::string folders[] = {destination, destination + "\\" + kTemplatesFolder,
                                 destination + "\\" + kRtfTemplatesFolder};
  try {
    // One level each; a creation that fails is left to the engine, which makes the whole
    // chain of every target before writing.
    for (const std::string& folder : folders)
      if (!fs.DirectoryExists(folder)) fs.CreateDir(folder);
  } catch (const std::exception&) {
    throw plat::Error(kFolderPreparationError);
  }
}

void InstallRun::RestoreFile(std::string& Filename, bool& DoRestore) {
  const std::string destination = Destination();
  const std::string fileName = plat::ExtractFileName(Filename);
  const MemberRoute route = RouteMember(Filename, destination);
  // Refusing the member ends the run with failure; nothing is written outside the folder.
  // (The check before the run refuses such a payload already; this guards every member.)
  if (route.Refused()) throw plat::Error(kUnsafeMemberName + Filename);
  PrepareFolders(destination);

  Filename = route.target;
  // The target's folder is made here, before the links below point at the program in it: a
  // folder that cannot be made ends the run naming the folder, with no link made. The engine's
  // own making of the folder then finds it there.
  plat::FileSystem& fs = CurrentServices().Files();
  const std::string folder = plat::ExcludeTrailingBackslash(plat::ExtractFilePath(Filename));
  if (!fs.ForceDirectories(folder)) {
    failedFolder_ = folder;
    throw plat::Error(kFolderPreparationError);
  }
  currentTargetExisted_ = fs.FileExists(Filename);

  // The links are made when the program is met, before its file is written.
  const std::string upperName = plat::AnsiUpperCase(fileName);
  for (gui::TComponent* c : form_.Components()) {
    if (c->Tag() != kShortCutTag) continue;
    auto* sc = dynamic_cast<shell::TMyShortCut*>(c);
    if (!sc || plat::AnsiUpperCase(sc->ExeName) != upperName) continue;
    sc->FilePathName = Filename;
    // Prefixed from the value before the run, so that a second match or a second run does
    // not prefix the folder twice.
    auto it = initialIcons_.find(sc);
    const std::string icon = it != initialIcons_.end() ? it->second : sc->IconPathName;
    if (!icon.empty()) sc->IconPathName = destination + "\\" + icon;
    sc->CreateLink();
  }
  DoRestore = true;
}

}  // namespace wizard
