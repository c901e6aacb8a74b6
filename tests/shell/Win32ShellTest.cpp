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
  for (plat::SpecialFolder id : {plat::SpecialFolder::kDesktopDirectory,
                                  plat::SpecialFolder::kStartMenu,
                                  plat::SpecialFolder::kPrograms}) {
    std::string path;
    ASSERT_TRUE(shell.SpecialFolderPath(id, path)) << static_cast<int>(id);
    EXPECT_TRUE(shell.PathFits(path));
    EXPECT_TRUE(plat::RealFileSystem().DirectoryExists(path)) << path;
  }
  std::string start, programs;
  ASSERT_TRUE(shell.SpecialFolderPath(plat::SpecialFolder::kStartMenu, start));
  ASSERT_TRUE(shell.SpecialFolderPath(plat::SpecialFolder::kPrograms, programs));
  EXPECT_EQ(programs.compare(0, start.size(), start), 0) << "Programs lies in the Start menu";

  std::string unknown = "unchanged";
  EXPECT_FALSE(shell.SpecialFolderPath(static_cast<plat::SpecialFolder>(0x77), unknown));
  EXPECT_EQ(unknown, "unchanged");
}

class Win32LinkTest : public testsupport::ScratchDriveTest {};

TEST_F(Win32LinkTest, LinkFileReadsBack) {
  plat::Shell& shell = plat::SystemShell();
  const std::string target = Path("Lumidesk.exe");
  testsupport::WriteWholeFile(target, "MZ");
  const plat::ShellResult init = shell.ComInitialize();
  ASSERT_TRUE(plat::Succeeded(init));
  {
    std::unique_ptr<plat::ShellLink> link;
    ASSERT_EQ(shell.CreateShellLink(link), plat::ShellResult::kOk);
    EXPECT_TRUE(plat::Succeeded(link->SetPath(target)));
    EXPECT_TRUE(plat::Succeeded(link->SetDescription("Falc@ro \xE8")));
    EXPECT_TRUE(plat::Succeeded(link->SetShowCmd(plat::ShowCommand::kShow)));
    EXPECT_EQ(link->SetShowCmd(plat::ShowCommand::kOther), plat::ShellResult::kFailed);
    std::unique_ptr<plat::ShellLinkFile> file;
    ASSERT_EQ(link->QueryPersistFile(file), plat::ShellResult::kOk);
    EXPECT_EQ(file->Save(Path("a.lnk"), true), plat::ShellResult::kOk);
    const std::string tooLong = Path(std::string(260, 'x') + ".lnk");
    EXPECT_FALSE(shell.PathFits(tooLong));
    EXPECT_EQ(file->Save(tooLong, true), plat::ShellResult::kPathTooLong);
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
