// Helpers for the archive tests: members from bytes, archives in memory, an event log for
// TBackupFile, and a small reader of the raw layout for checking what the writer produced.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/BackupFile.h"
#include "platform/Stream.h"
#include "support/SeededBytes.h"

namespace archivetest {

// 4 July 2003, 08:28:32 and 22 November 2004, 17:54:04 as DOS date-times.
constexpr std::uint32_t kJuly2003 = (23u << 25) | (7u << 21) | (4u << 16) | (8u << 11) | (28u << 5) | 16u;
constexpr std::uint32_t kNov2004 = 0x31768EC2u;

using testsupport::Content;

archive::WriterMember Member(const std::string& name, const std::string& bytes,
                             std::uint32_t when = kJuly2003);

// The archive in memory, written with options.
std::vector<std::uint8_t> Build(const std::vector<archive::WriterMember>& members,
                                archive::WriterOptions options = {});

// Little-endian 32-bit value at offset.
std::int32_t Int(const std::vector<std::uint8_t>& bytes, std::size_t offset);
std::vector<std::uint8_t> Bytes(const std::string& s);
void PutInt(std::vector<std::uint8_t>& bytes, std::int32_t v);
void PutText(std::vector<std::uint8_t>& bytes, const std::string& s);

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
