#include "support/RestoreEvents.h"

namespace testsupport {

void EventLog::Attach(archive::TBackupFile& bf) {
  bf.OnProgress = [this](archive::TBackupFile*, std::string file, archive::TPercentage p, bool&) {
    progress.push_back({file, p});
  };
  bf.OnRestoreFile = [this](archive::TBackupFile*, std::string& file, std::int32_t fa, bool&) {
    restoreFile.emplace_back(file, fa);
  };
  bf.OnFileRestored = [this](archive::TBackupFile*, std::string& file, plat::FileStream&) {
    restored.push_back(file);
  };
  bf.OnError = [this](archive::TBackupFile*, std::int32_t code, std::string text) {
    errors.emplace_back(code, text);
  };
  bf.OnNeedDisk = [this](archive::TBackupFile*, std::uint16_t id, bool&) { disks.push_back(id); };
}

}  // namespace testsupport
