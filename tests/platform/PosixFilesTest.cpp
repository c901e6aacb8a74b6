// The POSIX file layer: the conformance suite on it, and what only it does: "X:\a\b" lands in
// "<drive root>/x/a/b", and only paths given the Windows way are matched regardless of letter
// case (the host's own paths stay exact, and an exact spelling wins over others).
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <fstream>
#include <sstream>
#include <string>

#include "FileConformance.h"
#include "platform/Files.h"
#include "support/ScratchDrive.h"

namespace filetest {

INSTANTIATE_TEST_SUITE_P(Posix, FileConformance,
                         ::testing::Values(FileImplementation{
                             "posix", [] { return std::unique_ptr<Scratch>(new RealScratch); }}));

}  // namespace filetest

namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

std::string HostRead(const std::string& hostPath) {
  std::ifstream in(hostPath, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class DriveMappingTest : public testsupport::ScratchDriveTest {};

TEST_F(DriveMappingTest, DriveLettersMapUnderTheRootInLowerCase) {
  const std::string root = plat::DriveRoot();
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories("D:\\Dati\\sub"));
  testsupport::WriteWholeFile("D:\\Dati\\sub\\f.txt", "mapped");
  EXPECT_EQ(HostRead(root + "/d/Dati/sub/f.txt"), "mapped");
  // forward slashes separate too
  EXPECT_EQ(testsupport::ReadWholeFile("d:/Dati/sub/f.txt"), "mapped");
  const auto drives = plat::DriveList();
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_EQ(drives[0], "c:\\");
  EXPECT_EQ(drives[1], "d:\\");
  EXPECT_EQ(plat::SystemDirectory(), "c:\\windows\\system32");
}

TEST_F(DriveMappingTest, RootedPosixPathsStayAsTheyAre) {
  const std::string host = plat::DriveRoot() + "/c/plain.txt";
  testsupport::WriteWholeFile(host, "as is");
  EXPECT_EQ(testsupport::ReadWholeFile("c:\\plain.txt"), "as is");
  EXPECT_TRUE(plat::RealFileSystem().FileExists(host));
}

TEST_F(DriveMappingTest, ScratchFoldersAreFreshAndOnDriveC) {
  const std::string a = plat::CreateTempFolder("x");
  const std::string b = plat::CreateTempFolder("x");
  EXPECT_NE(a, b);
  EXPECT_EQ(a.compare(0, 7, "c:\\tmp\\"), 0) << a;
  EXPECT_TRUE(plat::RealFileSystem().ListDirectory(a).empty());
}

TEST(ModuleFileName, OverrideAndBack) {
  const std::string real = plat::ModuleFileName();
  EXPECT_FALSE(real.empty());
  plat::SetModuleFileNameOverride("c:\\setup.exe");
  EXPECT_EQ(plat::ModuleFileName(), "c:\\setup.exe");
  plat::SetModuleFileNameOverride("");
  EXPECT_EQ(plat::ModuleFileName(), real);
}

class PosixCaseMappingTest : public testsupport::ScratchDriveTest {
 protected:
  plat::FileSystem& fs = plat::RealFileSystem();
};

TEST_F(PosixCaseMappingTest, RootedHostPathsAreTakenAsSpelled) {
  const std::string host = plat::DriveRoot() + "/c/Mixed.txt";
  WriteWholeFile(host, "x");
  EXPECT_TRUE(fs.FileExists(host));
  EXPECT_FALSE(fs.FileExists(plat::DriveRoot() + "/c/mixed.txt"));
  EXPECT_FALSE(fs.FileExists(plat::DriveRoot() + "/C/Mixed.txt"));
  // The same entry named as a Windows path is found in any case, and renamed to another
  // spelling of its name.
  EXPECT_TRUE(fs.FileExists("C:\\MIXED.TXT"));
  EXPECT_TRUE(fs.RenameFile("C:\\MIXED.TXT", "c:\\mixed.TXT"));
  EXPECT_TRUE(fs.FileExists(plat::DriveRoot() + "/c/mixed.TXT"));
}

TEST_F(PosixCaseMappingTest, TheExactSpellingWinsWhereTheHostHoldsSeveral) {
  const std::string host = plat::DriveRoot() + "/c/";
  WriteWholeFile(host + "b.txt", "lower");
  WriteWholeFile(host + "B.txt", "upper");
  EXPECT_EQ(ReadWholeFile("c:\\b.txt"), "lower");
  EXPECT_EQ(ReadWholeFile("c:\\B.txt"), "upper");
  EXPECT_FALSE(fs.RenameFile("c:\\b.txt", "c:\\B.txt")) << "B.txt is another file here";
  // With no exact match, the byte-wise first of the others, every time.
  WriteWholeFile(host + "Dup.txt", "D");
  WriteWholeFile(host + "dUP.txt", "d");
  EXPECT_EQ(ReadWholeFile("c:\\DUP.TXT"), "D");
  EXPECT_TRUE(fs.DeleteFile("c:\\DUP.TXT"));
  EXPECT_EQ(ReadWholeFile("c:\\DUP.TXT"), "d");
}

TEST_F(PosixCaseMappingTest, RelativeWindowsPathsMatchFromTheCurrentFolder) {
  ASSERT_TRUE(fs.ForceDirectories("c:\\rel\\Sub"));
  WriteWholeFile("c:\\rel\\Sub\\File.txt", "rel");
  char previous[PATH_MAX];
  ASSERT_NE(::getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(::chdir((plat::DriveRoot() + "/c/rel").c_str()), 0);
  const bool backslashed = fs.FileExists("SUB\\file.TXT");
  const bool dotted = fs.FileExists(".\\sub\\FILE.txt");
  const bool plain = fs.FileExists("SUB/file.TXT");  // no "\": a host path, exact
  const bool plainExact = fs.FileExists("Sub/File.txt");
  ASSERT_EQ(::chdir(previous), 0);
  EXPECT_TRUE(backslashed);
  EXPECT_TRUE(dotted);
  EXPECT_FALSE(plain);
  EXPECT_TRUE(plainExact);
}

}  // namespace
