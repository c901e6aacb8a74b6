// The shell stand-in of builds without Windows: special folders under the drive root, link
// records that read back, refusal of what the real shell would refuse.
#include <gtest/gtest.h>

#include <string>

#include "support/ScratchDrive.h"
#include "platform/Files.h"
#include "platform/Shell.h"

namespace shelltest {
namespace {

class PosixShellTest : public ::testing::Test {
 protected:
  // The scratch drive holds the drive root for the test.
  void SetUp() override { ASSERT_TRUE(plat::RealFileSystem().ForceDirectories("c:\\d")); }

  void Write(const std::string& path, const std::string& bytes) {
    testsupport::WriteWholeFile(path, bytes);
  }

  testsupport::ScratchDrive drive_;
  plat::Shell& shell_ = plat::SystemShell();
};

TEST_F(PosixShellTest, SpecialFoldersLieInAWindowsProfileUnderTheDriveRoot) {
  std::string desktop, desktopDir, start, programs;
  ASSERT_TRUE(shell_.SpecialFolderPath(plat::csidl::kDesktopDirectory, desktopDir));
  ASSERT_TRUE(shell_.SpecialFolderPath(plat::csidl::kDesktop, desktop));
  ASSERT_TRUE(shell_.SpecialFolderPath(plat::csidl::kStartMenu, start));
  ASSERT_TRUE(shell_.SpecialFolderPath(plat::csidl::kPrograms, programs));
  EXPECT_EQ(desktop, desktopDir);
  EXPECT_EQ(desktop.compare(0, 9, "c:\\users\\"), 0) << desktop;
  EXPECT_EQ(desktop.substr(desktop.size() - 8), "\\Desktop");
  EXPECT_EQ(programs, start + "\\Programs");
  for (const std::string& folder : {desktop, start, programs}) {
    EXPECT_TRUE(plat::RealFileSystem().DirectoryExists(folder)) << folder;
  }
  std::string system;
  ASSERT_TRUE(shell_.SpecialFolderPath(plat::csidl::kSystem, system));
  EXPECT_EQ(system, plat::SystemDirectory());

  std::string unknown = "unchanged";
  EXPECT_FALSE(shell_.SpecialFolderPath(0x7777, unknown));
  EXPECT_EQ(unknown, "unchanged");
}

TEST_F(PosixShellTest, LinkRecordReadsBack) {
  ASSERT_EQ(shell_.ComInitialize(), plat::com::kOk);
  EXPECT_EQ(shell_.ComInitialize(), plat::com::kFalse) << "nested initialisation";
  {
    std::unique_ptr<plat::ShellLink> link;
    ASSERT_EQ(shell_.CreateShellLink(link), plat::com::kOk);
    // Any bytes survive, newlines and Windows-1252 letters included.
    link->SetPath("c:\\Programmi\\Lumidesk\\Lumidesk.exe");
    link->SetDescription("due\nrighe \xE8");
    link->SetShowCmd(plat::sw::kShow);
    std::unique_ptr<plat::ShellLinkFile> file;
    ASSERT_EQ(link->QueryPersistFile(file), plat::com::kOk);
    EXPECT_EQ(file->Save("c:\\a.lnk", true), plat::com::kOk);
    // Settings made after the file interface was obtained are saved too.
    link->SetShowCmd(7);
    EXPECT_EQ(file->Save("c:\\b.lnk", true), plat::com::kOk);
  }
  shell_.ComUninitialize();
  shell_.ComUninitialize();

  plat::LinkInfo a, b;
  ASSERT_TRUE(shell_.ReadLink("c:\\a.lnk", a));
  EXPECT_EQ(a.target, "c:\\Programmi\\Lumidesk\\Lumidesk.exe");
  EXPECT_EQ(a.description, "due\nrighe \xE8");
  EXPECT_EQ(a.showCmd, plat::sw::kShow);
  ASSERT_TRUE(shell_.ReadLink("c:\\b.lnk", b));
  EXPECT_EQ(b.showCmd, 7);
}

TEST_F(PosixShellTest, NoLinkObjectWithoutCom) {
  std::unique_ptr<plat::ShellLink> link;
  EXPECT_TRUE(plat::com::Failed(shell_.CreateShellLink(link)));
  EXPECT_EQ(link, nullptr);
}

TEST_F(PosixShellTest, SaveRefusesPathsBeyondTheBufferAndUnwritableFiles) {
  shell_.ComInitialize();
  std::unique_ptr<plat::ShellLink> link;
  ASSERT_EQ(shell_.CreateShellLink(link), plat::com::kOk);
  std::unique_ptr<plat::ShellLinkFile> file;
  ASSERT_EQ(link->QueryPersistFile(file), plat::com::kOk);
  EXPECT_EQ(file->Save("c:\\d\\" + std::string(255, 'x'), true), plat::com::kPathTooLong);
  EXPECT_EQ(file->Save("c:\\d\\" + std::string(254, 'x'), true), plat::com::kOk);
  EXPECT_TRUE(plat::com::Failed(file->Save("c:\\no\\such\\folder\\x.lnk", true)));
  EXPECT_TRUE(plat::com::Failed(file->Save("", true)));
  EXPECT_EQ(link->SetPath(std::string(260, 'p')), plat::com::kPathTooLong);
  file.reset();
  link.reset();
  shell_.ComUninitialize();
}

TEST_F(PosixShellTest, ReadLinkRejectsWhatIsNotARecord) {
  plat::LinkInfo info;
  info.target = "kept";
  EXPECT_FALSE(shell_.ReadLink("c:\\missing.lnk", info));
  const std::string good = "LUMILINK 1\nTarget=3:abc\nDescription=0:\nShowCmd=5\n";
  Write("c:\\good.lnk", good);
  ASSERT_TRUE(shell_.ReadLink("c:\\good.lnk", info));
  EXPECT_EQ(info.target, "abc");

  info.target = "kept";
  const char* bad[] = {
      "",                                                           // empty
      "LUMILINK 2\nTarget=3:abc\nDescription=0:\nShowCmd=5\n",      // other version
      "LUMILINK 1\nTarget=9:abc\nDescription=0:\nShowCmd=5\n",      // count past the end
      "LUMILINK 1\nTarget=3:abcd\nDescription=0:\nShowCmd=5\n",     // count too short
      "LUMILINK 1\nTarget=:abc\nDescription=0:\nShowCmd=5\n",       // no count
      "LUMILINK 1\nTarget=99999999999:a\nDescription=0:\nShowCmd=5\n",  // huge count
      "LUMILINK 1\nTarget=3:abc\nDescription=0:\nShowCmd=x\n",      // show command not a number
      "LUMILINK 1\nTarget=3:abc\nDescription=0:\nShowCmd=5",        // truncated
      "LUMILINK 1\nTarget=3:abc\n",                                 // fields missing
  };
  for (const char* bytes : bad) {
    Write("c:\\bad.lnk", bytes);
    EXPECT_FALSE(shell_.ReadLink("c:\\bad.lnk", info)) << bytes;
    EXPECT_EQ(info.target, "kept") << "a rejected record changes nothing";
  }
}

}  // namespace
}  // namespace shelltest
