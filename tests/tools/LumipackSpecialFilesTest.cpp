// lumipack create among files that are not regular files: a FIFO (which would block the read), a
// socket or a device is refused by name before anything is written. POSIX only: Windows folders
// hold no such entries.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/LumipackRun.h"

namespace {

using testsupport::Lumipack;

class LumipackSpecialFilesTest : public testsupport::ScratchDriveTest {
 protected:
  // The host path of a "c:\..." path of the POSIX file layer.
  static std::string HostPath(std::string windowsPath) {
    for (char& c : windowsPath) {
      if (c == '\\') c = '/';
    }
    return plat::DriveRoot() + "/c" + windowsPath.substr(2);
  }
  plat::FileSystem& fs = plat::RealFileSystem();
};

TEST_F(LumipackSpecialFilesTest, AFifoAmongTheInputsIsNotARegularFile) {
  ASSERT_TRUE(fs.ForceDirectories(Path("in\\d")));
  testsupport::WriteWholeFile(Path("in\\d\\a.txt"), "a");
  ASSERT_EQ(0, ::mkfifo(HostPath(Path("in\\d\\pipe")).c_str(), 0600));
  ASSERT_TRUE(fs.Exists(Path("in\\d\\pipe")));
  ASSERT_FALSE(fs.FileExists(Path("in\\d\\pipe")));
  for (const char* input : {"d", "d/pipe"}) {  // met in a folder, and given itself
    const auto r = Lumipack({"create", "-o", Path("out.lpk"), "-C", Path("in"), input});
    EXPECT_EQ(1, r.status) << input;
    EXPECT_EQ("lumipack: " + Path("in\\d\\pipe") + ": not a regular file\n", r.err) << input;
    EXPECT_FALSE(fs.FileExists(Path("out.lpk"))) << input;
  }
}

}  // namespace
