#include "ArchiveTestUtil.h"

namespace archivetest {

using testsupport::LoadInt;

namespace {
void ParseBlocks(const std::vector<std::uint8_t>& b, std::size_t& at, RawMember& m) {
  at += 4;  // signature
  for (;;) {
    const std::int32_t len = LoadInt(b, at);
    at += 4;
    if (len == 0) return;
    m.blocks.push_back({len, at});
    at += static_cast<std::size_t>(len < 0 ? -len : len);
  }
}
}  // namespace

RawArchive Parse(const std::vector<std::uint8_t>& b, bool continuation) {
  RawArchive a;
  std::size_t at = 0;
  if (continuation) {
    RawMember m;
    m.name = "(continuation)";
    ParseBlocks(b, at, m);
    a.members.push_back(m);
  } else {
    const std::int32_t tl = LoadInt(b, 0);
    a.title.assign(b.begin() + 4, b.begin() + 4 + tl);
    at = 4 + static_cast<std::size_t>(tl);
    a.totalSize = LoadInt(b, at);
    a.fileCount = LoadInt(b, at + 4);
    at += 8;
  }
  for (;;) {
    const std::size_t start = at;
    const std::int32_t nl = LoadInt(b, at);
    at += 4;
    if (nl == 0) break;
    std::string name(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + nl);
    at += static_cast<std::size_t>(nl);
    if (name.compare(0, 9, "NEXT:DISK") == 0) {
      a.volumeMarker = name;
      break;
    }
    RawMember m;
    m.name = name;
    m.nameOffset = start;
    m.when = static_cast<std::uint32_t>(LoadInt(b, at));
    at += 4;
    ParseBlocks(b, at, m);
    a.members.push_back(m);
  }
  a.end = at;
  return a;
}

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

}  // namespace archivetest
