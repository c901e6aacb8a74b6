// The bare restore loop restores exactly what the writer packed (compressed and stored blocks,
// an empty file, nested folders, standalone archives and installers, signed or not), drops the
// catalogue, and refuses damaged input instead of measuring garbage.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>

#include "archive/ArchiveWriter.h"
#include "bench/tools/Corpus.h"
#include "bench/tools/RestoreLimit.h"
#include "platform/Stream.h"
#include "support/PeImage.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

struct Packed {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

std::vector<Packed> SampleFiles() {
  return {
      {"c:\\prod\\main.exe", MakeContent(CorpusFile{"a", "program", 70000, 1}, 70000)},
      {"c:\\prod\\img\\photo.jpg", MakeContent(CorpusFile{"b", "jpeg", 40000, 2}, 40000)},  // stored blocks
      {"c:\\prod\\empty.txt", {}},
      {"c:\\prod\\help\\deep\\guide.htm", MakeContent(CorpusFile{"c", "html", 16384, 3}, 16384)},
  };
}

class RestoreLimitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::path(::testing::TempDir()) /
           ("restore-limit-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // A signed installer's payload trailer stands before the certificate table, not at the end.
  std::string Pack(const std::vector<Packed>& files, bool installer, bool sign = false) {
    std::vector<archive::WriterMember> members;
    for (const Packed& p : files) {
      archive::WriterMember m;
      m.name = p.name;
      m.dosDateTime = 0x31768EC2u;
      m.size = static_cast<std::int64_t>(p.bytes.size());
      const std::vector<std::uint8_t> bytes = p.bytes;
      m.open = [bytes] { return std::make_unique<plat::MemoryStream>(bytes); };
      members.push_back(m);
    }
    plat::MemoryStream out;
    archive::ArchiveWriter writer;
    if (sign) {
      const std::string image = testsupport::PeImage(1024);
      plat::MemoryStream stub(std::vector<std::uint8_t>(image.begin(), image.end()));
      writer.WriteInstaller(stub, members, out);
      std::string file(out.Bytes().begin(), out.Bytes().end());
      testsupport::AppendCertificateTable(file, std::string(1000, '\x30'));
      return Save("archive.bin", std::vector<std::uint8_t>(file.begin(), file.end()));
    }
    if (installer) {
      plat::MemoryStream stub(std::vector<std::uint8_t>{'M', 'Z', 0x90, 0, 1, 2, 3, 4});
      writer.WriteInstaller(stub, members, out);
    } else {
      writer.Write(members, out);
    }
    return Save("archive.bin", out.Bytes());
  }

  std::string Save(const std::string& name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  static std::vector<std::uint8_t> Load(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
  }

  fs::path dir_;
};

TEST_F(RestoreLimitTest, WritesEveryFileBelowTheFolderByteForByte) {
  const auto files = SampleFiles();
  for (int kind = 0; kind < 3; ++kind) {
    const bool installer = kind > 0;
    const std::string archivePath = Pack(files, installer, kind == 2);
    const fs::path out = dir_ / ("out" + std::to_string(kind));
    auto inflater = MakeZlibInflater();
    const LimitResult r = RunRestoreLimit(archivePath, out.string(), *inflater);
    EXPECT_EQ(r.files, files.size());
    std::uint64_t total = 0;
    for (const Packed& p : files) {
      std::string relative = p.name.substr(3);
      for (char& c : relative)
        if (c == '\\') c = '/';
      EXPECT_EQ(Load(out / relative), p.bytes) << p.name << " (kind " << kind << ")";
      total += p.bytes.size();
    }
    EXPECT_EQ(r.bytes, total);
    // 5 + 3 + 0 + 1 pieces, and the empty file has none.
    EXPECT_EQ(r.blocks, 9u);
    // Nothing but the files: the catalogue is never written.
    std::size_t entries = 0;
    for (const auto& e : fs::recursive_directory_iterator(out))
      if (e.is_regular_file()) ++entries;
    EXPECT_EQ(entries, files.size());
  }
}

TEST_F(RestoreLimitTest, InMemoryCountsTheSameAndWritesNothing) {
  const std::string archivePath = Pack(SampleFiles(), false);
  auto inflater = MakeZlibInflater();
  const LimitResult r = RunRestoreLimit(archivePath, "", *inflater);
  EXPECT_EQ(r.files, 4u);
  EXPECT_EQ(r.bytes, 70000u + 40000u + 16384u);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(RestoreLimitTest, LibdeflateGivesTheSameFilesWhereBuilt) {
  auto inflater = MakeLibdeflateInflater();
  if (!inflater) GTEST_SKIP() << "built without libdeflate";
  const auto files = SampleFiles();
  const LimitResult r = RunRestoreLimit(Pack(files, false), (dir_ / "out").string(), *inflater);
  EXPECT_EQ(r.files, files.size());
  EXPECT_EQ(Load(dir_ / "out" / "prod" / "main.exe"), files[0].bytes);
}

TEST_F(RestoreLimitTest, RefusesDamagedArchives) {
  const std::string good = Pack({{"c:\\p\\a.htm", MakeContent(CorpusFile{"c", "html", 30000, 3}, 30000)}}, false);
  const std::vector<std::uint8_t> bytes = Load(good);
  // Header: title length 0, TotalSize, FileCount; then the catalogue member.
  const std::size_t catalogueName = 12 + 4;
  struct Case {
    const char* what;
    std::function<void(std::vector<std::uint8_t>&)> damage;
  } cases[] = {
      {"truncated", [](std::vector<std::uint8_t>& b) { b.resize(b.size() / 2); }},
      {"no end marker", [](std::vector<std::uint8_t>& b) { b.resize(b.size() - 4); }},
      {"bad signature", [&](std::vector<std::uint8_t>& b) { b[catalogueName + 9 + 4] = 'X'; }},
      {"block longer than 16 KB",
       [&](std::vector<std::uint8_t>& b) {
         const std::size_t block = catalogueName + 9 + 4 + 4;
         b[block] = 0x01, b[block + 1] = 0x40, b[block + 2] = 0, b[block + 3] = 0;  // 16385
       }},
      // The file's last block is compressed; its Adler-32 ends 8 bytes before the archive does.
      {"damaged deflate data", [](std::vector<std::uint8_t>& b) { b[b.size() - 12] ^= 0x01; }},
      {"name leads outside", [&](std::vector<std::uint8_t>&) {}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> damaged = bytes;
    c.damage(damaged);
    std::string path = Save("damaged.bin", damaged);
    if (std::string(c.what) == "name leads outside") {
      path = Pack({{"c:\\..\\escape.txt", {1, 2, 3}}}, false);
    }
    auto inflater = MakeZlibInflater();
    EXPECT_THROW(RunRestoreLimit(path, (dir_ / "out").string(), *inflater), std::runtime_error)
        << c.what;
  }
  EXPECT_FALSE(fs::exists(dir_ / "escape.txt"));
}

}  // namespace
}  // namespace bench
