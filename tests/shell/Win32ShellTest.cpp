// The Windows shell facility itself: special folders of the running profile and real .lnk
// files written and read back through IShellLinkA.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Files.h"
#include "platform/Shell.h"
#include "support/ScratchDrive.h"

namespace shelltest {
namespace {

TEST(Win32Shell, SpecialFoldersOfTheProfileExist) {
  plat::Shell& shell = plat::SystemShell();
  for (int id : {plat::csidl::kDesktopDirectory, plat::csidl::kStartMenu,
                 plat::csidl::kPrograms}) {
    std::string path;
    ASSERT_TRUE(shell.SpecialFolderPath(id, path)) << id;
    EXPECT_LT(path.size(), plat::kMaxPath);
    EXPECT_TRUE(plat::RealFileSystem().DirectoryExists(path)) << path;
  }
  std::string start, programs;
  ASSERT_TRUE(shell.SpecialFolderPath(plat::csidl::kStartMenu, start));
  ASSERT_TRUE(shell.SpecialFolderPath(plat::csidl::kPrograms, programs));
  EXPECT_EQ(programs.compare(0, start.size(), start), 0) << "Programs lies in the Start menu";

  std::string unknown = "unchanged";
  EXPECT_FALSE(shell.SpecialFolderPath(0x7777, unknown));
  EXPECT_EQ(unknown, "unchanged");
}

class Win32LinkTest : public testsupport::ScratchDriveTest {};

TEST_F(Win32LinkTest, LinkFileReadsBack) {
  plat::Shell& shell = plat::SystemShell();
  const std::string target = Path("Lumidesk.exe");
  testsupport::WriteWholeFile(target, "MZ");
  const plat::ComResult init = shell.ComInitialize();
  ASSERT_TRUE(plat::com::Succeeded(init));
  {
    std::unique_ptr<plat::ShellLink> link;
    ASSERT_EQ(shell.CreateShellLink(link), plat::com::kOk);
    EXPECT_TRUE(plat::com::Succeeded(link->SetPath(target)));
    EXPECT_TRUE(plat::com::Succeeded(link->SetDescription("Falc@ro \xE8")));
    EXPECT_TRUE(plat::com::Succeeded(link->SetShowCmd(plat::sw::kShow)));
    std::unique_ptr<plat::ShellLinkFile> file;
    ASSERT_EQ(link->QueryPersistFile(file), plat::com::kOk);
    EXPECT_EQ(file->Save(Path("a.lnk"), true), plat::com::kOk);
    EXPECT_EQ(file->Save(Path(std::string(plat::kMaxPath, 'x') + ".lnk"), true),
              plat::com::kPathTooLong);
  }
  shell.ComUninitialize();

  plat::LinkInfo info;
  ASSERT_TRUE(shell.ReadLink(Path("a.lnk"), info));
  EXPECT_EQ(info.target, target);
  EXPECT_EQ(info.description, "Falc@ro \xE8");

  testsupport::WriteWholeFile(Path("not-a-link.lnk"), "plain text");
  EXPECT_FALSE(shell.ReadLink(Path("not-a-link.lnk"), info));
  EXPECT_FALSE(shell.ReadLink(Path("missing.lnk"), info));
}

}  // namespace
}  // namespace shelltest
