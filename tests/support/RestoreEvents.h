// Everything TBackupFile raises during a read or a restore, recorded in order.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "archive/BackupFile.h"

namespace testsupport {

struct EventLog {
  struct Progress {
    std::string file;
    int percent;
  };
  std::vector<Progress> progress;
  std::vector<std::pair<std::string, std::int32_t>> restoreFile;  // Filename, FA
  std::vector<std::string> restored;
  std::vector<std::pair<std::int32_t, std::string>> errors;
  std::vector<int> disks;

  // Installs recording handlers that change nothing.
  void Attach(archive::TBackupFile& bf);
};

}  // namespace testsupport
