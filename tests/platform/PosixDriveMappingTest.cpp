// The POSIX file layer's drive mapping: "X:\a\b" lands in "<drive root>/x/a/b".
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/ScratchDrive.h"
#include "platform/Files.h"

namespace {

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

}  // namespace
