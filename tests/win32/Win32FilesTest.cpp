// The Win32 file layer against the real file system: deny-none sharing of the payload stream,
// DOS date-times through local time, folders, listings and the system's own paths.
#include <windows.h>
// <windows.h> maps DeleteFile to DeleteFileA, which would rename the FileSystem method.
#undef DeleteFile

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Files.h"

namespace {

using plat::FileSystem;
using plat::RealFileSystem;

void RemoveTree(const std::string& folder) {
  FileSystem& fs = RealFileSystem();
  for (const plat::DirEntry& entry : fs.ListDirectory(folder)) {
    const std::string path = folder + "\\" + entry.name;
    if (entry.isDirectory) {
      RemoveTree(path);
    } else {
      fs.DeleteFile(path);
    }
  }
  fs.RemoveDir(folder);
}

class Win32Files : public ::testing::Test {
 protected:
  void SetUp() override { dir_ = plat::CreateTempFolder("lumi-files"); }
  void TearDown() override { RemoveTree(dir_); }

  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }
  void MakeFile(const std::string& path, const std::string& bytes) {
    auto stream = fs_.Create(path);
    stream->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  }

  FileSystem& fs_ = RealFileSystem();
  std::string dir_;
};

TEST_F(Win32Files, TempFoldersAreFreshEmptyAndDistinct) {
  const std::string other = plat::CreateTempFolder("lumi-files");
  EXPECT_NE(other, dir_);
  EXPECT_TRUE(fs_.DirectoryExists(dir_));
  EXPECT_TRUE(fs_.DirectoryExists(other));
  EXPECT_TRUE(fs_.ListDirectory(other).empty());
  EXPECT_NE(plat::ExtractFileName(other).find("lumi-files-"), std::string::npos);
  EXPECT_EQ(other[1], ':') << other;
  RemoveTree(other);
}

// The installer reads its payload from its own exe, which others may hold open for writing.
TEST_F(Win32Files, OpenReadSharesReadingAndWriting) {
  const std::string path = Path("shared.bin");
  MakeFile(path, "abcdef");

  // A writer that came first does not keep us out...
  HANDLE before = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(before, INVALID_HANDLE_VALUE);
  auto first = fs_.OpenRead(path);
  auto second = fs_.OpenRead(path);
  // ...and our read handles keep no writer out that comes after them.
  HANDLE after = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(after, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(after, "XY", 2, &written, nullptr));

  char bytes[7] = {};
  first->ReadBuffer(bytes, 6);
  EXPECT_STREQ(bytes, "XYcdef");
  EXPECT_EQ(second->Size(), 6);
  CloseHandle(after);
  CloseHandle(before);
}

TEST_F(Win32Files, OpenFailuresNameThePath) {
  const std::string missing = Path("missing.bin");
  try {
    fs_.OpenRead(missing);
    FAIL() << "opened a missing file";
  } catch (const plat::Error& e) {
    EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
  }
  EXPECT_THROW(fs_.OpenWrite(missing), plat::Error);
  EXPECT_THROW(fs_.Create(Path("no\\such\\folder.bin")), plat::Error);

  // A file held without any sharing cannot be opened, not even for reading.
  const std::string locked = Path("locked.bin");
  MakeFile(locked, "x");
  HANDLE exclusive = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  EXPECT_THROW(fs_.OpenRead(locked), plat::Error);
  CloseHandle(exclusive);
}

TEST_F(Win32Files, StreamsReadWriteSeekAndReportErrors) {
  const std::string path = Path("stream.bin");
  {
    auto stream = fs_.Create(path);
    stream->WriteBuffer("0123456789", 10);
    EXPECT_EQ(stream->Seek(-4, plat::Stream::Origin::End), 6);
    stream->WriteBuffer("AB", 2);
    EXPECT_EQ(stream->Position(), 8);
    EXPECT_EQ(stream->Size(), 10);
  }
  auto reader = fs_.OpenRead(path);
  char bytes[16] = {};
  EXPECT_EQ(reader->Read(bytes, 16), 10);
  EXPECT_STREQ(bytes, "012345AB89");
  EXPECT_EQ(reader->Read(bytes, 16), 0) << "at the end a read gives 0";
  reader->SetPosition(8);
  EXPECT_THROW(reader->ReadBuffer(bytes, 4), plat::StreamError) << "short read is an error";
  // Writing through a read-only handle fails and says on which file.
  try {
    reader->Write("z", 1);
    FAIL() << "wrote through a read-only stream";
  } catch (const plat::StreamError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

// DOS date-times are local time with two-second steps; they must come back unchanged.
TEST_F(Win32Files, DosDateTimesRoundTrip) {
  const std::uint32_t cases[] = {
      (20u << 25) | (1u << 21) | (15u << 16) | (9u << 11) | (30u << 5) | 4u,   // 2000-01-15 09:30:08
      (43u << 25) | (7u << 21) | (4u << 16) | (23u << 11) | (59u << 5) | 29u,  // 2023-07-04 23:59:58
      (0u << 25) | (1u << 21) | (1u << 16),                                    // 1980-01-01 00:00:00
  };
  for (const std::uint32_t dos : cases) {
    const std::string path = Path("dated.txt");
    {
      auto stream = fs_.Create(path);
      stream->WriteBuffer("x", 1);
      EXPECT_TRUE(stream->SetDosDateTime(static_cast<std::int32_t>(dos)));
    }
    EXPECT_EQ(static_cast<std::uint32_t>(fs_.FileAge(path)), dos) << std::hex << dos;
  }
  EXPECT_EQ(fs_.FileAge(Path("nothing.txt")), -1);
  EXPECT_EQ(fs_.FileAge(dir_), -1) << "a folder has no file age";
}

TEST_F(Win32Files, FoldersAndListings) {
  const std::string deep = Path("a\\b\\c\\");
  EXPECT_TRUE(fs_.ForceDirectories(deep));
  EXPECT_TRUE(fs_.DirectoryExists(Path("a\\b\\c")));
  EXPECT_TRUE(fs_.ForceDirectories(deep)) << "an existing folder is success";
  EXPECT_FALSE(fs_.CreateDir(Path("a"))) << "CreateDir of an existing folder fails";

  MakeFile(Path("a\\zeta.txt"), "z");
  MakeFile(Path("a\\Alpha.txt"), "a");
  MakeFile(Path("a\\\xE8.txt"), "e");  // a Windows-1252 name sorts after ASCII, byte-wise
  EXPECT_FALSE(fs_.ForceDirectories(Path("a\\zeta.txt\\sub"))) << "a file is in the way";
  EXPECT_TRUE(fs_.FileExists(Path("a\\zeta.txt")));
  EXPECT_FALSE(fs_.FileExists(Path("a\\b")));
  EXPECT_FALSE(fs_.DirectoryExists(Path("a\\zeta.txt")));

  const std::vector<plat::DirEntry> entries = fs_.ListDirectory(Path("a"));
  std::vector<std::string> names;
  for (const auto& entry : entries) names.push_back(entry.name + (entry.isDirectory ? "/" : ""));
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha.txt", "b/", "zeta.txt", "\xE8.txt"}));
  EXPECT_TRUE(fs_.ListDirectory(Path("none")).empty());

  EXPECT_FALSE(fs_.RemoveDir(Path("a\\b"))) << "not empty";
  EXPECT_TRUE(fs_.DeleteFile(Path("a\\zeta.txt")));
  EXPECT_FALSE(fs_.DeleteFile(Path("a\\zeta.txt")));
  EXPECT_TRUE(fs_.RemoveDir(Path("a\\b\\c")));
  EXPECT_FALSE(fs_.FileExists(""));
  EXPECT_FALSE(fs_.DirectoryExists(""));
}

TEST(Win32SystemPaths, ModuleSystemFolderAndDrives) {
  FileSystem& fs = RealFileSystem();
  const std::string self = plat::ModuleFileName();
  EXPECT_TRUE(fs.FileExists(self)) << self;
  EXPECT_NE(self.find("win32_platform_tests"), std::string::npos) << self;
  plat::SetModuleFileNameOverride("c:\\x\\Setup.exe");
  EXPECT_EQ(plat::ModuleFileName(), "c:\\x\\Setup.exe");
  plat::SetModuleFileNameOverride("");
  EXPECT_EQ(plat::ModuleFileName(), self);

  const std::string system = plat::SystemDirectory();
  EXPECT_TRUE(fs.DirectoryExists(system)) << system;
  EXPECT_TRUE(fs.FileExists(plat::IncludeTrailingBackslash(system) + "kernel32.dll"));

  const std::vector<std::string> drives = plat::DriveList();
  EXPECT_NE(std::find(drives.begin(), drives.end(), "c:\\"), drives.end());
  plat::SetDriveRoot("/tmp");  // no drive mapping on Win32
  EXPECT_EQ(plat::DriveRoot(), "");
}

}  // namespace
