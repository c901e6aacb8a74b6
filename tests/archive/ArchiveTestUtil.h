// Helpers for the archive tests: an event log for TBackupFile, and a small reader of the raw
// layout for checking what the writer produced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/BackupFile.h"
#include "support/ArchiveBytes.h"
#include "support/SeededBytes.h"

namespace archivetest {

// The raw layout of a single-volume archive, as far as it goes.
struct RawBlock {
  std::int32_t length;
  std::size_t offset;  // of the Data
};
struct RawMember {
  std::string name;
  std::uint32_t when = 0;
  std::size_t nameOffset = 0;  // of NameLength
  std::vector<RawBlock> blocks;
};
struct RawArchive {
  std::string title;
  std::int32_t totalSize = 0;
  std::int32_t fileCount = 0;
  std::vector<RawMember> members;
  std::size_t end = 0;  // just after the end-of-archive marker
  std::string volumeMarker;  // the marker name when the volume ends in one
};
RawArchive Parse(const std::vector<std::uint8_t>& bytes, bool continuation = false);

// Everything TBackupFile raised, in order.
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

}  // namespace archivetest
