// The installation run behind "Installa": the whole payload checked before anything is
// written, with the room on the destination's drive and the files it would replace; the
// restore into the destination with every member routed (RouteMember, in FileRouting.h) and
// the links made when the program is met, all inside one transaction (InstallTransaction.h)
// that is committed when the restore succeeds and rolled back when it fails; and the stop
// message. Also the cheap check of the payload at start-up, and the rollback of a run that was
// killed. The window owns one InstallRun and serves it through InstallHost.h; its handlers
// Button1Click and BackupFile1RestoreFile and the engine's OnError hand over to it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/Files.h"
#include "wizard/InstallTransaction.h"
#include "wizard/JournaledLayers.h"

namespace shell {
class TMyShortCut;
}

namespace wizard {

class InstallHost;

// The cheap check of start-up: the walk of the payload's structure and, for a signed installer,
// the signature against the file's bytes. True when the payload is damaged; `why` then says
// what was found, in the packager's words.
bool ScanPayloadDamaged(plat::FileStream& payload, std::string& why);

// The most room a run into an empty destination holds on its drive at once: every member's
// bytes (the files it replaces stay as backups until it commits), plus a margin for the
// clusters the files end in, the folders and the journal.
std::int64_t SpaceNeeded(std::int64_t fileBytes, std::size_t files);

class InstallRun {
 public:
  explicit InstallRun(InstallHost& host);
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;

  // Runs into destination (a full path): hourglass, progress bar, the checks, the restore in a
  // transaction. True when every member was restored and the run committed, and the host has
  // been told the installation is done; otherwise every change has been undone (or the user
  // has been told what could not be), the user has been told why the run stopped, and the
  // progress bar is back as it was before the run.
  bool Execute(const std::string& destination);

  // True while a run is in progress (the restore pumps messages, so other handlers can run
  // inside it).
  bool Active() const { return active_; }

  // The routing handler's body for one member: Filename in, the stored path; out, the target.
  // Prepares the destination's folders, makes the target's folder and, when the member is the
  // product's program, the links. Throws to end the run.
  void RestoreFile(std::string& Filename, bool& DoRestore);

  // The engine's error report: its code and the target it was writing.
  void EngineError(std::int32_t code, const std::string& target);

  // At start-up, before the window is shown: a run that was killed left its journal, which is
  // rolled back now (or finished, when it had committed); the user is told what was done.
  void RecoverInterruptedRun();

  // The layers the shell-integration component makes its links and registrations through: the
  // window's own, journalled while a run is in progress.
  plat::FileSystem& LinkFiles() { return linkFiles_; }
  plat::Shell& LinkShell() { return linkShell_; }
  plat::RegistryBackend& LinkRegistry() { return linkRegistry_; }

 private:
  // The folder the run installs into: fixed at the start of a run, the host's choice otherwise.
  std::string Destination() const;
  // Where the journal lives; empty when the system cannot say.
  std::string JournalFile();
  // The whole walk before a run writes anything, with its progress on the bar, then whether
  // the destination's drive has room and every file the run replaces can be replaced. Returns
  // the text of the stop message, empty when the run can go ahead.
  std::string CheckPayloadBeforeInstalling();
  // The restore inside a transaction. True when it committed; otherwise `stop` holds the stop
  // message, with what the rollback did.
  bool RestoreInTransaction(std::string& stop);
  // The stop message after a run that had started writing and failed.
  std::string FailedRunText(const InstallTransaction& tx) const;
  void PrepareFolders(InstallTransaction& tx, const std::string& destination);
  void ResetShortCutsForRun();

  InstallHost& host_;
  bool active_ = false;
  std::string destination_;
  TransactionSlot slot_;
  JournaledFiles linkFiles_;
  JournaledShell linkShell_;
  JournaledRegistry linkRegistry_;
  // IconPathName of each shell-integration component before the first run prefixed it.
  std::map<shell::TMyShortCut*, std::string> initialIcons_;
  // What the last run met when it failed: a folder it could not create, the target being
  // written when the engine reported an error.
  std::string failedFolder_;
  std::string failedFile_;
  std::int32_t engineError_ = 0;
};

}  // namespace wizard
