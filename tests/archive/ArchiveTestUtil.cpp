#include "ArchiveTestUtil.h"

#include <memory>

#include "archive/Payload.h"

namespace archivetest {

archive::WriterMember Member(const std::string& name, const std::string& bytes,
                             std::uint32_t when) {
  archive::WriterMember m;
  m.name = name;
  m.dosDateTime = when;
  m.size = static_cast<std::int64_t>(bytes.size());
  m.open = [bytes] {
    return std::make_unique<plat::MemoryStream>(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  };
  return m;
}

std::vector<std::uint8_t> Build(const std::vector<archive::WriterMember>& members,
                                archive::WriterOptions options) {
  plat::MemoryStream out;
  archive::ArchiveWriter(options).Write(members, out);
  return out.Bytes();
}

std::int32_t Int(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return static_cast<std::int32_t>(archive::LoadLe32(bytes.data() + offset));
}

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

void PutInt(std::vector<std::uint8_t>& bytes, std::int32_t v) {
  std::uint8_t b[4];
  archive::StoreLe32(b, static_cast<std::uint32_t>(v));
  bytes.insert(bytes.end(), b, b + 4);
}

void PutText(std::vector<std::uint8_t>& bytes, const std::string& s) {
  PutInt(bytes, static_cast<std::int32_t>(s.size()));
  bytes.insert(bytes.end(), s.begin(), s.end());
}

namespace {
void ParseBlocks(const std::vector<std::uint8_t>& b, std::size_t& at, RawMember& m) {
  at += 4;  // signature
  for (;;) {
    const std::int32_t len = Int(b, at);
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
    const std::int32_t tl = Int(b, 0);
    a.title.assign(b.begin() + 4, b.begin() + 4 + tl);
    at = 4 + static_cast<std::size_t>(tl);
    a.totalSize = Int(b, at);
    a.fileCount = Int(b, at + 4);
    at += 8;
  }
  for (;;) {
    const std::size_t start = at;
    const std::int32_t nl = Int(b, at);
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
    m.when = static_cast<std::uint32_t>(Int(b, at));
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
