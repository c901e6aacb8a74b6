// The POSIX file layer's letter-case matching: only paths given the Windows way are matched
// regardless of case; the host's own paths stay exact; an exact spelling wins over others.
#include <gtest/gtest.h>

#include <unistd.h>

#include <climits>
#include <string>

#include "platform/Files.h"
#include "support/ScratchDrive.h"

namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

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
  // The same entry named as a Windows path is found in any case.
  EXPECT_TRUE(fs.FileExists("C:\\MIXED.TXT"));
}

TEST_F(PosixCaseMappingTest, TheExactSpellingWinsWhereTheHostHoldsSeveral) {
  const std::string host = plat::DriveRoot() + "/c/";
  WriteWholeFile(host + "b.txt", "lower");
  WriteWholeFile(host + "B.txt", "upper");
  EXPECT_EQ(ReadWholeFile("c:\\b.txt"), "lower");
  EXPECT_EQ(ReadWholeFile("c:\\B.txt"), "upper");
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
