// The file layer through Windows-style paths: streams, folders, DOS date-times. Runs against
// whichever implementation the target has.
#include <gtest/gtest.h>

#include "support/ScratchDrive.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

class FilesTest : public testsupport::ScratchDriveTest {
 protected:
  plat::FileSystem& fs = plat::RealFileSystem();
};

// 4 July 2003, 08:28:32 as a DOS date-time.
constexpr std::int32_t kJuly2003 = (23 << 25) | (7 << 21) | (4 << 16) | (8 << 11) | (28 << 5) | 16;

TEST_F(FilesTest, CreateWriteSeekReadAndSize) {
  const std::string p = Path("f.bin");
  {
    auto f = fs.Create(p);
    f->WriteBuffer("hello world", 11);
    EXPECT_EQ(f->Size(), 11);
    f->SetPosition(6);
    char buf[5];
    f->ReadBuffer(buf, 5);
    EXPECT_EQ(std::string(buf, 5), "world");
    EXPECT_THROW(f->ReadBuffer(buf, 1), plat::StreamError);
  }
  EXPECT_TRUE(fs.FileExists(p));
  EXPECT_FALSE(fs.DirectoryExists(p));
  EXPECT_EQ(ReadWholeFile(p), "hello world");

  // Create truncates; OpenWrite keeps the content and starts at 0.
  WriteWholeFile(p, "abc");
  {
    auto f = fs.OpenWrite(p);
    EXPECT_EQ(f->Position(), 0);
    f->Seek(0, plat::Stream::Origin::End);
    f->WriteBuffer("de", 2);
  }
  EXPECT_EQ(ReadWholeFile(p), "abcde");
}

TEST_F(FilesTest, ReadOnlyOpenSharesWithWriters) {
  const std::string p = Path("shared.bin");
  WriteWholeFile(p, "1234");
  auto reader = fs.OpenRead(p);
  auto writer = fs.OpenWrite(p);
  auto second = fs.OpenRead(p);
  char c;
  EXPECT_EQ(second->Read(&c, 1), 1);
  EXPECT_EQ(reader->Size(), 4);
}

TEST_F(FilesTest, OpenFailuresNameThePath) {
  const std::string missing = Path("missing.bin");
  try {
    fs.OpenRead(missing);
    FAIL();
  } catch (const plat::Error& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
  EXPECT_THROW(fs.OpenWrite(missing), plat::Error);
  EXPECT_THROW(fs.Create(Path("no\\such\\folder\\f.bin")), plat::Error);
  EXPECT_THROW(fs.OpenRead(Base()), plat::Error);  // a folder is not a file
}

TEST_F(FilesTest, FoldersOneLevelAChainRemovalAndListing) {
  EXPECT_FALSE(fs.CreateDir(Path("a\\b")));  // parent missing
  EXPECT_TRUE(fs.CreateDir(Path("a")));
  EXPECT_FALSE(fs.CreateDir(Path("a")));     // exists
  EXPECT_TRUE(fs.ForceDirectories(Path("x\\y\\z")));
  EXPECT_TRUE(fs.ForceDirectories(Path("x\\y\\z\\")));  // trailing separator, already there
  EXPECT_TRUE(fs.DirectoryExists(Path("x\\y\\z")));
  WriteWholeFile(Path("x\\file"), "f");
  EXPECT_FALSE(fs.ForceDirectories(Path("x\\file\\sub")));  // a file is in the way
  EXPECT_FALSE(fs.ForceDirectories(""));

  EXPECT_FALSE(fs.RemoveDir(Path("x\\y")));  // not empty
  EXPECT_TRUE(fs.RemoveDir(Path("x\\y\\z")));
  EXPECT_FALSE(fs.DeleteFile(Path("x\\y")));  // a folder is not deleted as a file
  EXPECT_TRUE(fs.DeleteFile(Path("x\\file")));
  EXPECT_FALSE(fs.DeleteFile(Path("x\\file")));

  WriteWholeFile(Path("x\\b.txt"), "");
  WriteWholeFile(Path("x\\A.txt"), "");
  const auto entries = fs.ListDirectory(Path("x"));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "A.txt");
  EXPECT_EQ(entries[1].name, "b.txt");
  EXPECT_EQ(entries[2].name, "y");
  EXPECT_TRUE(entries[2].isDirectory);
  EXPECT_FALSE(entries[0].isDirectory);
  EXPECT_TRUE(fs.ListDirectory(Path("nothing")).empty());
}

TEST_F(FilesTest, DosDateTimeRoundTripsThroughTheFile) {
  const std::string p = Path("dated.txt");
  {
    auto f = fs.Create(p);
    f->WriteBuffer("x", 1);
    EXPECT_TRUE(f->SetDosDateTime(kJuly2003));
  }
  EXPECT_EQ(fs.FileAge(p), kJuly2003);
  // Odd seconds do not exist in a DOS time: 2-second steps survive exactly.
  const std::int32_t late = (44 << 25) | (11 << 21) | (22 << 16) | (17 << 11) | (54 << 5) | 2;
  {
    auto f = fs.OpenWrite(p);
    EXPECT_TRUE(f->SetDosDateTime(late));
  }
  EXPECT_EQ(fs.FileAge(p), late);
  EXPECT_EQ(fs.FileAge(Path("absent")), -1);
  EXPECT_EQ(fs.FileAge(Base()), -1);
}

TEST_F(FilesTest, ImpossibleDosDateTimesAreRefused) {
  auto f = fs.Create(Path("bad.txt"));
  const std::int32_t monthZero = (23 << 25) | (0 << 21) | (4 << 16);
  const std::int32_t hour25 = (23 << 25) | (7 << 21) | (4 << 16) | (25 << 11);
  EXPECT_FALSE(f->SetDosDateTime(monthZero));
  EXPECT_FALSE(f->SetDosDateTime(hour25));
}

}  // namespace
