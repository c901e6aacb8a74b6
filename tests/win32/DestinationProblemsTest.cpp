// Installing into a destination Windows will not let the installer write: a read-only file in
// the way, a folder that cannot be made, a file another handle holds without sharing. The
// wizard runs on the headless GUI back end over the real Win32 file layer and the real
// registry; each case must end with a clear Italian message naming the place, the wizard
// still usable and no install record.
#include <windows.h>
// <windows.h> maps DeleteFile to DeleteFileA, which would rename the FileSystem method.
#undef DeleteFile

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "WizardFixture.h"
#include "platform/Files.h"
#include "platform/Registry.h"

namespace {

using wizardtest::MemoryMember;

constexpr char kRecordKey[] = "\\SOFTWARE\\NORTAVIA\\Zentaro";
constexpr int kInstallPage = 5;

bool RecordExists() {
  plat::RegistryAccess reg;
  reg.SetRootKey(plat::kHKeyLocalMachine);
  const bool exists = reg.OpenKey(kRecordKey, false);
  reg.CloseKey();
  return exists;
}

void DeleteRecord() {
  plat::RegistryAccess reg;
  reg.SetRootKey(plat::kHKeyLocalMachine);
  reg.DeleteKey(kRecordKey);
}

// A payload without the product's program, so that no shell link is made in the prefix.
std::vector<archive::WriterMember> Payload() {
  return {MemoryMember("c:\\src\\readme.dat", "readme"), MemoryMember("c:\\src\\data.dat", "data")};
}

class DestinationProblems : public wizardtest::WizardTest {
 protected:
  DestinationProblems() {
    // The real registry: the record is what a failed run must not leave.
    services_.UseRegistry(nullptr);
    DeleteRecord();
  }
  ~DestinationProblems() override {
    for (const std::string& path : readOnly_) {
      SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    DeleteRecord();
  }

  wizard::TForm1& OpenInto(const std::string& destination) {
    wizardtest::WriteInstaller(InstallerPath(), "3.0.0.3", Payload());
    online_ = true;
    auto& w = StartWizard();
    Tick();
    w.LabelDir->SetCaption(destination);
    w.Notebook1->SetPageIndex(kInstallPage);
    return w;
  }

  // Presses "Installa" and expects one stop message with this text; then the wizard is still
  // open and usable, and closing it records nothing.
  void ExpectStop(wizard::TForm1& w, const std::string& text) {
    ASSERT_TRUE(gui_.Click(*w.Button9));
    ASSERT_EQ(gui_.Boxes().size(), 1u);
    EXPECT_EQ(gui_.Boxes()[0].title, wizard::kInstallFailedTitle);
    EXPECT_EQ(gui_.Boxes()[0].text, text);
    EXPECT_EQ(gui_.Boxes()[0].flags, plat::mb::kOk | plat::mb::kIconError);
    EXPECT_FALSE(w.InstallDone());
    EXPECT_FALSE(w.Installing());
    EXPECT_FALSE(app_.Terminated());
    EXPECT_TRUE(w.Button9->Enabled());  // another folder, or the file freed, and try again
    EXPECT_TRUE(gui_.Click(*w.Button10));
    EXPECT_TRUE(gui_.ClickCloseBox(w));
    EXPECT_TRUE(app_.Terminated());
    EXPECT_FALSE(RecordExists());
  }

  void MakeReadOnly(const std::string& path) {
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    readOnly_.push_back(path);
  }

  std::vector<std::string> readOnly_;
};

// Windows keeps no one from adding files to a folder marked read-only (the mark only makes
// it a system folder), and Wine does not enforce access lists: what a read-only destination
// refuses the installer is replacing its files, as after copying them from a CD.
TEST_F(DestinationProblems, AReadOnlyFileInTheDestinationIsNamed) {
  const std::string dest = Path("Lumidesk");
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(dest));
  testsupport::WriteWholeFile(dest + "\\data.dat", "kept");
  MakeReadOnly(dest + "\\data.dat");
  // Wine keeps the mark as the file's Unix write permission, which the superuser does not
  // need: there the file can be replaced, and this case cannot be set up.
  HANDLE probe = CreateFileA((dest + "\\data.dat").c_str(), GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe != INVALID_HANDLE_VALUE) {
    CloseHandle(probe);
    GTEST_SKIP() << "read-only files are writable here (Wine run by the superuser)";
  }
  auto& w = OpenInto(dest);
  ExpectStop(w, std::string(wizard::kFileInUseText) + dest + "\\data.dat" +
                    wizard::kFileInUseAdvice);
  EXPECT_EQ(testsupport::ReadWholeFile(dest + "\\data.dat"), "kept");
}

// A folder that exists but takes no new file: under Wine the host's /sys, which refuses new
// entries even to the superuser, seen through drive Z:. Its drive reports no free space, so the
// run is refused before it writes anything. Skipped where there is none.
TEST_F(DestinationProblems, AFolderThatTakesNoNewFileIsNamed) {
  const std::string dest = "Z:\\sys";
  const std::string probe = dest + "\\lumi-probe.dat";
  if (!plat::RealFileSystem().DirectoryExists(dest)) GTEST_SKIP() << "no " << dest;
  HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    DeleteFileA(probe.c_str());
    GTEST_SKIP() << dest << " takes new files here";
  }
  auto& w = OpenInto(dest);
  const std::string refused = std::string(wizard::kFileNotWrittenText) + dest +
                              "\\readme.dat" + wizard::kFileNotWrittenAdvice +
                              wizard::kRunUndoneText;
  ASSERT_TRUE(gui_.Click(*w.Button9));
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  const std::string& told = gui_.Boxes()[0].text;
  EXPECT_TRUE(told == refused || told.compare(0, std::strlen(wizard::kDiskSpaceText),
                                              wizard::kDiskSpaceText) == 0)
      << told;
  EXPECT_FALSE(plat::RealFileSystem().FileExists(dest + "\\readme.dat"));
}

TEST_F(DestinationProblems, AFolderUnderAFileCannotBeMade) {
  testsupport::WriteWholeFile(Path("plain-file"), "x");
  const std::string dest = Path("plain-file\\Lumidesk");
  auto& w = OpenInto(dest);
  ExpectStop(w, std::string(wizard::kFolderNotCreatedText) + dest +
                    wizard::kFolderNotCreatedAdvice + wizard::kRunUndoneText);
}

TEST_F(DestinationProblems, AFolderOnAMissingDriveCannotBeMade) {
  const DWORD drives = GetLogicalDrives();
  char letter = 0;
  for (char c = 'Q'; c <= 'Y' && letter == 0; ++c) {
    if ((drives & (1u << (c - 'A'))) == 0) letter = c;
  }
  ASSERT_NE(letter, 0) << "no free drive letter";
  const std::string dest = std::string(1, letter) + ":\\programmi\\nortavia\\Lumidesk";
  auto& w = OpenInto(dest);
  ExpectStop(w, std::string(wizard::kFolderNotCreatedText) + dest +
                    wizard::kFolderNotCreatedAdvice + wizard::kRunUndoneText);
}

TEST_F(DestinationProblems, AFileHeldWithoutSharingIsNamed) {
  const std::string dest = Path("Lumidesk");
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(dest));
  testsupport::WriteWholeFile(dest + "\\readme.dat", "held");
  const std::string held = dest + "\\readme.dat";
  HANDLE h = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  auto& w = OpenInto(dest);
  ExpectStop(w, std::string(wizard::kFileInUseText) + held + wizard::kFileInUseAdvice);
  CloseHandle(h);
  EXPECT_EQ(testsupport::ReadWholeFile(held), "held");
}

}  // namespace
