#include "RobustSupport.h"

#include <algorithm>
#include <cstring>
#include <sstream>

#include "platform/Error.h"
#include "platform/Stream.h"
#include "support/ArchiveBytes.h"
#include "support/SeededBytes.h"
#include "tools/synthetic/SyntheticPayload.h"

namespace robust {

namespace {

std::string Text(std::size_t size, unsigned seed) {
  return testsupport::Words(size, seed, testsupport::InvoiceWords());
}

using testsupport::Noise;

std::vector<std::uint8_t> Write(const std::vector<Expected>& files) {
  std::vector<archive::WriterMember> members;
  for (const Expected& e : files) members.push_back(testsupport::Member(e.name, e.content));
  archive::WriterOptions o;
  o.title = "3.0.0.3";
  return testsupport::Build(members, o);
}

class CountedStream : public testsupport::ProxyFileStream {
 public:
  CountedStream(std::unique_ptr<plat::FileStream> inner, int& open)
      : ProxyFileStream(std::move(inner)), open_(open) {
    ++open_;
  }
  ~CountedStream() override { --open_; }

 private:
  int& open_;
};

void Attach(archive::TBackupFile& bf, RunOutcome& o, const std::string& only) {
  bf.OnError = [&o](archive::TBackupFile*, std::int32_t code, std::string) {
    o.reports.push_back(code);
  };
  if (!only.empty()) {
    bf.OnRestoreFile = [only](archive::TBackupFile*, std::string& name, std::int32_t,
                              bool& doRestore) { doRestore = plat::ExtractFileName(name) == only; };
  }
}

}  // namespace

const std::vector<Expected>& SmallMembers() {
  static const std::vector<Expected> members = {
      {"c:\\nortavia\\lumidesk\\leggimi.txt", Text(20000, 1)},
      {"c:\\nortavia\\lumidesk\\lumidesk.exe", Noise(5000, 2)},
      {"c:\\nortavia\\lumidesk\\vuoto.txt", ""},
      {"c:\\nortavia\\lumidesk\\modellirtf\\fattura.rvf", Text(3000, 3)},
  };
  return members;
}

const std::vector<std::uint8_t>& SmallArchive() {
  static const std::vector<std::uint8_t> bytes = Write(SmallMembers());
  return bytes;
}

const std::vector<std::uint8_t>& SyntheticArchive() {
  static const std::vector<std::uint8_t> bytes = [] {
    plat::MemoryStream out;
    synthetic::WritePayload(out);
    return out.Bytes();
  }();
  return bytes;
}

const std::vector<Expected>& SyntheticMembers() {
  static const std::vector<Expected> members = [] {
    std::vector<Expected> m;
    const auto& files = synthetic::ShippedFiles();
    for (std::size_t i = 0; i < files.size(); ++i) {
      const std::vector<std::uint8_t> c = synthetic::Content(i);
      m.push_back({files[i].StoredName(), std::string(c.begin(), c.end())});
    }
    return m;
  }();
  return members;
}

std::unique_ptr<plat::FileStream> StreamCounter::Count(std::unique_ptr<plat::FileStream> s) {
  return std::make_unique<CountedStream>(std::move(s), open_);
}
std::unique_ptr<plat::FileStream> StreamCounter::OpenRead(const std::string& path) {
  return Count(ProxyFileSystem::OpenRead(path));
}
std::unique_ptr<plat::FileStream> StreamCounter::Create(const std::string& path) {
  return Count(ProxyFileSystem::Create(path));
}
std::unique_ptr<plat::FileStream> StreamCounter::OpenWrite(const std::string& path) {
  return Count(ProxyFileSystem::OpenWrite(path));
}

std::string RunOutcome::Describe() const {
  std::ostringstream s;
  s << (threw ? "threw" : result ? "true" : "false") << ", reports:";
  for (std::int32_t r : reports) s << ' ' << r;
  return s.str();
}

RunOutcome RestoreFile(plat::FileSystem& fs, const std::string& archivePath,
                       const std::string& dest, const std::string& only) {
  RunOutcome o;
  archive::TBackupFile bf(nullptr, fs);
  Attach(bf, o, only);
  try {
    o.result = bf.Restore(archivePath, dest);
  } catch (const plat::Error&) {
    o.threw = true;
  }
  return o;
}

std::int32_t ViewStream::Read(void* buffer, std::int32_t count) {
  if (count <= 0 || pos_ >= size_) return 0;
  const std::size_t n = std::min(static_cast<std::size_t>(count), size_ - pos_);
  std::memcpy(buffer, bytes_ + pos_, n);
  pos_ += n;
  return static_cast<std::int32_t>(n);
}

std::int64_t ViewStream::Seek(std::int64_t offset, Origin origin) {
  const std::int64_t base = origin == Origin::Begin     ? 0
                            : origin == Origin::Current ? static_cast<std::int64_t>(pos_)
                                                        : static_cast<std::int64_t>(size_);
  if (offset < -base) throw plat::StreamError("Stream seek error");
  pos_ = static_cast<std::size_t>(base + offset);
  return static_cast<std::int64_t>(pos_);
}

RunOutcome RestoreBytes(plat::FileSystem& fs, const std::uint8_t* bytes, std::size_t size,
                        const std::string& dest, const std::string& only) {
  RunOutcome o;
  archive::TBackupFile bf(nullptr, fs);
  Attach(bf, o, only);
  ViewStream source(bytes, size);
  bf.SourceStream = &source;
  try {
    o.result = bf.Restore(archive::kStreamArchiveName, dest);
  } catch (const plat::Error&) {
    o.threw = true;
  }
  return o;
}

std::string FlatName(const std::string& storedName) { return plat::ExtractFileName(storedName); }

}  // namespace robust
