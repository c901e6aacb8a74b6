// The Win32 file layer: the conformance suite on it under Wine, and what only it does: deny-none
// sharing of the payload stream, files held by other handles or marked read-only, the
// temporary folder and the system's own paths.
#include <windows.h>
// <windows.h> maps DeleteFile to DeleteFileA, which would rename the FileSystem method.
#undef DeleteFile

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/win32/ScopedHandle.h"
#include "support/ScratchDrive.h"
#include "tests/platform/FileConformance.h"

namespace filetest {

INSTANTIATE_TEST_SUITE_P(Win32, FileConformance,
                         ::testing::Values(FileImplementation{
                             "win32", [] { return std::unique_ptr<Scratch>(new RealScratch); }}));

}  // namespace filetest

namespace {

using plat::FileSystem;
using plat::RealFileSystem;
using plat::win32::ScopedHandle;
using testsupport::WriteWholeFile;

HANDLE OpenHandle(const std::string& path, DWORD access, DWORD share) {
  return CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

class Win32Files : public testsupport::ScratchDriveTest {
 protected:
  FileSystem& fs_ = RealFileSystem();
};

TEST_F(Win32Files, TempFoldersAreFreshEmptyAndDistinct) {
  const std::string other = plat::CreateTempFolder("lumi-files");
  EXPECT_NE(other, Base());
  EXPECT_TRUE(fs_.DirectoryExists(other));
  EXPECT_TRUE(fs_.ListDirectory(other).empty());
  EXPECT_NE(plat::ExtractFileName(other).find("lumi-files-"), std::string::npos);
  EXPECT_EQ(other[1], ':') << other;
  testsupport::RemoveTree(other);
}

// The installer reads its payload from its own exe, which others may hold open for writing.
TEST_F(Win32Files, OpenReadSharesReadingAndWriting) {
  const std::string path = Path("shared.bin");
  WriteWholeFile(path, "abcdef");

  // A writer that came first does not keep us out...
  ScopedHandle before(OpenHandle(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
  ASSERT_TRUE(before.Valid());
  auto first = fs_.OpenRead(path);
  auto second = fs_.OpenRead(path);
  // ...and our read handles keep no writer out that comes after them.
  ScopedHandle after(
      OpenHandle(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE));
  ASSERT_TRUE(after.Valid()) << "error " << GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(after.Get(), "XY", 2, &written, nullptr));

  char bytes[7] = {};
  first->ReadBuffer(bytes, 6);
  EXPECT_STREQ(bytes, "XYcdef");
  EXPECT_EQ(second->Size(), 6);
}

// What the check before writing must see: a file held by any other handle, whatever that one
// shares, cannot be replaced; once let go it can.
TEST_F(Win32Files, HeldFilesCannotBeOpenedExclusively) {
  const std::string path = Path("held.bin");
  WriteWholeFile(path, "x");
  const struct {
    const char* what;
    DWORD access;
    DWORD share;
    bool weCanRead;
  } holders[] = {
      {"read, sharing nothing", GENERIC_READ, 0, false},
      {"read, sharing all", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
       true},
      {"written, sharing reading", GENERIC_WRITE, FILE_SHARE_READ, true},
  };
  for (const auto& holder : holders) {
    ScopedHandle held(OpenHandle(path, holder.access, holder.share));
    ASSERT_TRUE(held.Valid()) << holder.what;
    EXPECT_FALSE(fs_.CanOpenExclusive(path)) << holder.what;
    if (holder.weCanRead) {
      EXPECT_NO_THROW(fs_.OpenRead(path)) << holder.what;
    } else {
      EXPECT_THROW(fs_.OpenRead(path), plat::Error) << holder.what;
    }
  }
  {
    auto ours = fs_.OpenRead(path);
    EXPECT_FALSE(fs_.CanOpenExclusive(path)) << "held by our own reader";
  }
  EXPECT_TRUE(fs_.CanOpenExclusive(path)) << "let go";
}

TEST_F(Win32Files, ReadOnlyFilesCannotBeOpenedExclusively) {
  const std::string path = Path("read-only.bin");
  WriteWholeFile(path, "x");
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  // Wine keeps the mark as the file's Unix write permission, which the superuser does not need:
  // there the file can be replaced, and the check rightly says so.
  const bool enforced = !ScopedHandle(OpenHandle(path, GENERIC_WRITE, 0)).Valid();
  const bool exclusive = fs_.CanOpenExclusive(path);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL));
  if (!enforced) GTEST_SKIP() << "read-only files are writable here (Wine run by the superuser)";
  EXPECT_FALSE(exclusive);
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
