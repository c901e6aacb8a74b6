// The installation run behind "Installa": the whole payload checked before anything is
// written, the restore into the destination with every member routed (RouteMember, in
// FileRouting.h) and the links made when the program is met, and the stop message when the run
// fails. Also the cheap check of the payload at start-up. The window owns one InstallRun; its
// handlers Button1Click and BackupFile1RestoreFile and the engine's OnError hand over to it.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/Files.h"

namespace shell {
class TMyShortCut;
}

namespace wizard {

class TForm1;

// The cheap check of start-up: the walk of the payload's structure and, for a signed installer,
// the signature against the file's bytes. True when the payload is damaged; `why` then says
// what was found, in the packager's words.
bool ScanPayloadDamaged(plat::FileStream& payload, std::string& why);

class InstallRun {
 public:
  explicit InstallRun(TForm1& form) : form_(form) {}
  InstallRun(const InstallRun&) = delete;
  InstallRun& operator=(const InstallRun&) = delete;

  // Runs into destination (a full path): hourglass, progress bar, the check, the restore.
  // True when every member was restored; otherwise the user has been told why, and the
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

 private:
  // The folder the run installs into: fixed at the start of a run, LabelDir otherwise.
  std::string Destination() const;
  // The whole walk before a run writes anything, with its progress on the bar. Returns the text
  // of the stop message, empty when the payload is sound and every member can be routed.
  std::string CheckPayloadBeforeInstalling();
  // The stop message after a run that had started writing and failed.
  std::string FailedRunText() const;
  void PrepareFolders(const std::string& destination);
  void ResetShortCutsForRun();

  TForm1& form_;
  bool active_ = false;
  std::string destination_;
  // IconPathName of each shell-integration component before the first run prefixed it.
  std::map<shell::TMyShortCut*, std::string> initialIcons_;
  // What the last run met when it failed: a folder it could not create, the target being
  // written when the engine reported an error, whether that file existed before the run.
  std::string failedFolder_;
  std::string failedFile_;
  bool failedFileExisted_ = false;
  bool currentTargetExisted_ = false;
  std::int32_t engineError_ = 0;
};

}  // namespace wizard
