// The synthetic payload has the shipped payload's shape, is the same on every run, and restores
// through the archive component exactly as the installer's restore sees the shipped one.
#include "tools/synthetic/SyntheticPayload.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "archive/BackupFile.h"
#include "support/ScratchDrive.h"

namespace {

using synthetic::ShippedFiles;

TEST(SyntheticShape, ThirteenShippedFilesInShippedOrder) {
  const auto& files = ShippedFiles();
  ASSERT_EQ(13u, files.size());
  std::int64_t total = 0;
  int rvf = 0, bmp = 0;
  for (const auto& f : files) {
    total += f.size;
    const std::string name = f.StoredName();
    EXPECT_EQ(0u, name.find("c:\\nortavia\\lumidesk\\")) << name;
    for (char c : name) EXPECT_FALSE(c >= 'A' && c <= 'Z') << name;
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".rvf") == 0) {
      ++rvf;
      EXPECT_EQ(0u, f.relativePath.find("modellirtf\\"));
      EXPECT_GE(f.size, 4881);
      EXPECT_LE(f.size, 98919);
    }
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".bmp") == 0) {
      ++bmp;
      EXPECT_EQ(0u, f.relativePath.find("modellirtf\\"));
      EXPECT_EQ(22128, f.size);
    }
    EXPECT_LT(f.dosDateTime, synthetic::kCatalogueDateTime) << name;
  }
  EXPECT_EQ(5, rvf);
  EXPECT_EQ(5, bmp);
  EXPECT_EQ(synthetic::kFilesTotal, total);
  EXPECT_EQ("lumidesk.exe", files[0].relativePath);
  EXPECT_EQ(9178112, files[0].size);
  EXPECT_EQ("lumidesk.hlp", files[10].relativePath);
  EXPECT_EQ(1661488, files[10].size);
  // The icon, dated 4 July 2003, 08:28:32.
  EXPECT_EQ("search.ico", files[1].relativePath);
  EXPECT_EQ(766, files[1].size);
  EXPECT_EQ((23u << 25) | (7u << 21) | (4u << 16) | (8u << 11) | (28u << 5) | 16u,
            files[1].dosDateTime);
  EXPECT_EQ(812u, archive::CatalogueText(synthetic::Members()).size());
}

// Contents are pinned by a checksum over all thirteen files: any change to a generator shows
// here, and a Win32 build must produce the same bytes as the native one.
TEST(SyntheticShape, ContentIsDeterministicAndHasRecognisableHeaders) {
  uLong crc = crc32(0L, Z_NULL, 0);
  for (std::size_t i = 0; i < ShippedFiles().size(); ++i) {
    const auto bytes = synthetic::Content(i);
    ASSERT_EQ(static_cast<std::size_t>(ShippedFiles()[i].size), bytes.size());
    crc = crc32(crc, bytes.data(), static_cast<uInt>(bytes.size()));
  }
  EXPECT_EQ(synthetic::Content(1), synthetic::Content(1));
  const auto exe = synthetic::Content(0);
  EXPECT_EQ('M', exe[0]);
  EXPECT_EQ('Z', exe[1]);
  EXPECT_EQ('B', synthetic::Content(7)[0]);
  EXPECT_EQ(0x3F, synthetic::Content(10)[0]);
  EXPECT_EQ(0x8D475844u, crc) << std::hex << crc;
}

TEST(SyntheticPayload, ArchiveHas688BlocksTwoStored) {
  plat::MemoryStream out;
  const archive::WriteSummary s = synthetic::WritePayload(out);
  EXPECT_EQ(13, s.fileCount);
  EXPECT_EQ(11127944, s.totalSize);
  EXPECT_EQ(688, s.blockCount);
  EXPECT_EQ(2, s.storedBlocks);
  EXPECT_EQ(static_cast<std::int64_t>(out.Bytes().size()), s.archiveBytes);

  // Header: title "3.0.0.3", TotalSize, FileCount, then the catalogue member.
  const std::vector<std::uint8_t> head(out.Bytes().begin(), out.Bytes().begin() + 40);
  const std::vector<std::uint8_t> expected = {
      0x07, 0, 0, 0, '3', '.', '0', '.', '0', '.', '3', 0x88, 0xCC, 0xA9, 0x00, 0x0D, 0, 0, 0,
      0x09, 0, 0, 0, 'F', 'I', 'L', 'E', ':', 'L', 'I', 'S', 'T', 0xC2, 0x8E, 0x76, 0x31,
      'E', 'C', '2', 0};
  EXPECT_EQ(expected, head);
  EXPECT_EQ(0x78, out.Bytes()[44]);  // the catalogue's block is a zlib stream
  EXPECT_EQ(0x01, out.Bytes()[45]);
}

class SyntheticRestore : public testsupport::ScratchDriveTest {};

TEST_F(SyntheticRestore, EmptyDestinationRaisesOneEventPerFileAndProgressPerBlock) {
  plat::MemoryStream payload;
  synthetic::WritePayload(payload);
  payload.SetPosition(0);

  archive::TBackupFile backup;
  std::vector<std::pair<std::string, std::int32_t>> restored;
  std::vector<int> percents;
  bool allPresetTrue = true;
  backup.OnRestoreFile = [&](archive::TBackupFile*, std::string& name, std::int32_t fa,
                             bool& doRestore) {
    restored.emplace_back(name, fa);
    allPresetTrue = allPresetTrue && doRestore;
  };
  backup.OnProgress = [&](archive::TBackupFile*, std::string, archive::TPercentage p, bool&) {
    percents.push_back(p);
  };
  ASSERT_TRUE(backup.RestoreFromStream(&payload, ""));

  ASSERT_EQ(13u, restored.size());
  for (std::size_t i = 0; i < restored.size(); ++i) {
    EXPECT_EQ(ShippedFiles()[i].StoredName(), restored[i].first);
    EXPECT_EQ(static_cast<std::int32_t>(ShippedFiles()[i].dosDateTime), restored[i].second);
  }
  EXPECT_TRUE(allPresetTrue);
  ASSERT_EQ(687u + 13u + 1u, percents.size());
  EXPECT_EQ(100, percents.back());
  for (std::size_t i = 1; i < percents.size(); ++i) EXPECT_LE(percents[i - 1], percents[i]);
  EXPECT_EQ(13, backup.RestoredCount());

  // The files landed at their stored paths with their contents and dates.
  plat::FileSystem& fs = plat::RealFileSystem();
  for (std::size_t i : {1u, 4u, 12u}) {
    const std::string path = ShippedFiles()[i].StoredName();
    const auto bytes = synthetic::Content(i);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), testsupport::ReadWholeFile(path));
    EXPECT_EQ(static_cast<std::int32_t>(ShippedFiles()[i].dosDateTime), fs.FileAge(path));
  }
}

TEST_F(SyntheticRestore, WriteFilesLaysOutTheProductFolderWithDates) {
  const std::string root = synthetic::WriteFiles(Base());
  EXPECT_EQ(Base() + "\\lumidesk", root);
  plat::FileSystem& fs = plat::RealFileSystem();
  for (const auto& f : ShippedFiles()) {
    const std::string path = root + "\\" + f.relativePath;
    EXPECT_TRUE(fs.FileExists(path)) << path;
    EXPECT_EQ(static_cast<std::int32_t>(f.dosDateTime), fs.FileAge(path)) << path;
  }
  EXPECT_EQ(10u, fs.ListDirectory(root + "\\modellirtf").size());
}

}  // namespace
