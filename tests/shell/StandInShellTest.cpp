// The shell stand-in of builds without Windows: special folders under the drive root, link
// records that read back, refusal of what the real shell would refuse.
#include <gtest/gtest.h>

#include <string>

#include "support/ScratchDrive.h"
#include "platform/Files.h"
#include "platform/Shell.h"

namespace shelltest {
namespace {

class StandInShellTest : public ::testing::Test {
 protected:
  // The scratch drive holds the drive root for the test.
  void SetUp() override { ASSERT_TRUE(plat::RealFileSystem().ForceDirectories("c:\\d")); }

  void Write(const std::string& path, const std::string& bytes) {
    testsupport::WriteWholeFile(path, bytes);
  }

  testsupport::ScratchDrive drive_;
  plat::Shell& shell_ = plat::SystemShell();
};

TEST_F(StandInShellTest, SpecialFoldersLieInAWindowsProfileUnderTheDriveRoot) {
  std::string desktop, start, programs;
  ASSERT_TRUE(shell_.SpecialFolderPath(plat::SpecialFolder::kDesktopDirectory, desktop));
  ASSERT_TRUE(shell_.SpecialFolderPath(plat::SpecialFolder::kStartMenu, start));
  ASSERT_TRUE(shell_.SpecialFolderPath(plat::SpecialFolder::kPrograms, programs));
  EXPECT_EQ(desktop.compare(0, 9, "c:\\users\\"), 0) << desktop;
  EXPECT_EQ(desktop.substr(desktop.size() - 8), "\\Desktop");
  EXPECT_EQ(programs, start + "\\Programs");
  for (const std::string& folder : {desktop, start, programs}) {
    EXPECT_TRUE(plat::RealFileSystem().DirectoryExists(folder)) << folder;
  }

  std::string unknown = "unchanged";
  EXPECT_FALSE(shell_.SpecialFolderPath(static_cast<plat::SpecialFolder>(0x77), unknown));
  EXPECT_EQ(unknown, "unchanged");
}

TEST_F(StandInShellTest, LinkRecordReadsBack) {
  ASSERT_EQ(shell_.ComInitialize(), plat::ShellResult::kOk);
  EXPECT_EQ(shell_.ComInitialize(), plat::ShellResult::kAlreadyInitialised) << "nested";
  {
    std::unique_ptr<plat::ShellLink> link;
    ASSERT_EQ(shell_.CreateShellLink(link), plat::ShellResult::kOk);
    // Any bytes survive, newlines and Windows-1252 letters included.
    link->SetPath("c:\\Programmi\\Lumidesk\\Lumidesk.exe");
    link->SetDescription("due\nrighe \xE8");
    link->SetShowCmd(plat::ShowCommand::kShow);
    std::unique_ptr<plat::ShellLinkFile> file;
    ASSERT_EQ(link->QueryPersistFile(file), plat::ShellResult::kOk);
    EXPECT_EQ(file->Save("c:\\a.lnk", true), plat::ShellResult::kOk);
    // Settings made after the file interface was obtained are saved too.
    link->SetShowCmd(plat::ShowCommand::kNormal);
    EXPECT_EQ(file->Save("c:\\b.lnk", true), plat::ShellResult::kOk);
    EXPECT_EQ(link->SetShowCmd(plat::ShowCommand::kOther), plat::ShellResult::kFailed);
  }
  shell_.ComUninitialize();
  shell_.ComUninitialize();

  plat::LinkInfo a, b;
  ASSERT_TRUE(shell_.ReadLink("c:\\a.lnk", a));
  EXPECT_EQ(a.target, "c:\\Programmi\\Lumidesk\\Lumidesk.exe");
  EXPECT_EQ(a.description, "due\nrighe \xE8");
  EXPECT_EQ(a.showCmd, plat::ShowCommand::kShow);
  ASSERT_TRUE(shell_.ReadLink("c:\\b.lnk", b));
  EXPECT_EQ(b.showCmd, plat::ShowCommand::kNormal);
}

TEST_F(StandInShellTest, NoLinkObjectWithoutCom) {
  std::unique_ptr<plat::ShellLink> link;
  EXPECT_EQ(shell_.CreateShellLink(link), plat::ShellResult::kNotInitialised);
  EXPECT_EQ(link, nullptr);
}

TEST_F(StandInShellTest, SaveRefusesPathsBeyondTheBufferAndUnwritableFiles) {
  shell_.ComInitialize();
  std::unique_ptr<plat::ShellLink> link;
  ASSERT_EQ(shell_.CreateShellLink(link), plat::ShellResult::kOk);
  std::unique_ptr<plat::ShellLinkFile> file;
  ASSERT_EQ(link->QueryPersistFile(file), plat::ShellResult::kOk);
  const std::string fits = "c:\\d\\" + std::string(254, 'x');
  EXPECT_TRUE(shell_.PathFits(fits));
  EXPECT_FALSE(shell_.PathFits(fits + "x"));
  EXPECT_EQ(file->Save(fits + "x", true), plat::ShellResult::kPathTooLong);
  EXPECT_EQ(file->Save(fits, true), plat::ShellResult::kOk);
  EXPECT_TRUE(plat::Failed(file->Save("c:\\no\\such\\folder\\x.lnk", true)));
  EXPECT_TRUE(plat::Failed(file->Save("", true)));
  EXPECT_EQ(link->SetPath(std::string(260, 'p')), plat::ShellResult::kPathTooLong);
  file.reset();
  link.reset();
  shell_.ComUninitialize();
}

TEST_F(StandInShellTest, ReadLinkRejectsWhatIsNotARecord) {
  plat::LinkInfo info;
  info.target = "kept";
  EXPECT_FALSE(shell_.ReadLink("c:\\missing.lnk", info));
  const std::string good = "LUMILINK 2\nTarget=3:abc\nDescription=0:\nShowCmd=show\n";
  Write("c:\\good.lnk", good);
  ASSERT_TRUE(shell_.ReadLink("c:\\good.lnk", info));
  EXPECT_EQ(info.target, "abc");

  info.target = "kept";
  const char* bad[] = {
      "",                                                                  // empty
      "LUMILINK 1\nTarget=3:abc\nDescription=0:\nShowCmd=5\n",             // other version
      "LUMILINK 2\nTarget=9:abc\nDescription=0:\nShowCmd=show\n",          // count past the end
      "LUMILINK 2\nTarget=3:abcd\nDescription=0:\nShowCmd=show\n",         // count too short
      "LUMILINK 2\nTarget=:abc\nDescription=0:\nShowCmd=show\n",           // no count
      "LUMILINK 2\nTarget=99999999999:a\nDescription=0:\nShowCmd=show\n",  // huge count
      "LUMILINK 2\nTarget=3:abc\nDescription=0:\nShowCmd=5\n",             // show command not ours
      "LUMILINK 2\nTarget=3:abc\nDescription=0:\nShowCmd=show",            // truncated
      "LUMILINK 2\nTarget=3:abc\n",                                        // fields missing
  };
  for (const char* bytes : bad) {
    Write("c:\\bad.lnk", bytes);
    EXPECT_FALSE(shell_.ReadLink("c:\\bad.lnk", info)) << bytes;
    EXPECT_EQ(info.target, "kept") << "a rejected record changes nothing";
  }
}

}  // namespace
}  // namespace shelltest
