// The uninstall button: the record read and deleted, the links and the listed program file
// removed, the progress bar's steps, Button2 during the run, and the cases without a record
// or without its RootDir.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallFixture.h"
#include "platform/Error.h"
#include "shell/ShortCut.h"

namespace wizardtest {
namespace {

// Writes a file, making its folders first.
void Put(const std::string& path, const std::string& content) {
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(plat::ExtractFilePath(path)));
  testsupport::WriteWholeFile(path, content);
}

class UninstallTest : public InstallTest {
 protected:
  // A previous installation into Dest(): the program file as the component lists it, a
  // template, the three links, and the ten values.
  void Installed() {
    Put(InDest("Lumidesk.EXE"), "program");
    Put(InDest("Modelli\\a.txt"), "template");
    CardValues record = {{"RootDir", InDest("Zentaro.exe")}, {"version", "3.0.0.3"}};
    record.insert(record.end(), SampleCard().begin(), SampleCard().end());
    WriteRecord(record);
  }
  wizard::TForm1& Start() {
    UseDefaultInstaller();
    auto& w = StartWizard();
    w.MyShortCut1->FilePathName = InDest("Lumidesk.EXE");
    w.MyShortCut1->CreateLink();
    return w;
  }
  bool PressUninstall() { return gui_.Click(*form_->Button14); }
  int UninstalledBoxes() const {
    int n = 0;
    for (const auto& b : gui_.Boxes()) n += b.text == wizard::kUninstalledText;
    return n;
  }
};

TEST_F(UninstallTest, RemovesTheRecordTheLinksAndTheListedProgramOnly) {
  Installed();
  auto& w = Start();
  ASSERT_TRUE(IsFile(StartMenuLink()));
  ASSERT_TRUE(w.Button14->Enabled());
  ASSERT_TRUE(PressUninstall());
  EXPECT_FALSE(RecordExists());
  EXPECT_FALSE(IsFile(StartMenuLink()));
  EXPECT_FALSE(IsFile(ProgramsLink()));
  EXPECT_FALSE(IsFile(DesktopLink()));
  // The emptied group folders go with their links.
  EXPECT_FALSE(IsFolder(SpecialFolder(plat::SpecialFolder::kStartMenu) + "\\Lumidesk"));
  EXPECT_FALSE(IsFolder(SpecialFolder(plat::SpecialFolder::kPrograms) + "\\Lumidesk"));
  EXPECT_FALSE(IsFile(InDest("Lumidesk.EXE")));
  // Everything else stays, so the folder does too.
  EXPECT_TRUE(IsFile(InDest("Modelli\\a.txt")));
  EXPECT_TRUE(IsFolder(Dest()));
  EXPECT_EQ(w.MyShortCut1->FilePathName, InDest("Zentaro.exe"));
  ASSERT_EQ(UninstalledBoxes(), 1);
  EXPECT_EQ(gui_.Boxes().back().text, "Zentaro \xE8 stato disinstallato");
  EXPECT_EQ(gui_.Boxes().back().flags, plat::mb::kOk);
  EXPECT_EQ(w.ProgressBar2->Position(), 10);
  EXPECT_TRUE(w.Button2->Enabled());
  EXPECT_TRUE(w.UninstallDone());
  EXPECT_EQ(ExceptionBoxes(), 0);
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

TEST_F(UninstallTest, TheFolderGoesWhenTheProgramWasAllItHeld) {
  Put(InDest("Lumidesk.EXE"), "program");
  WriteRecord({{"RootDir", InDest("Zentaro.exe")}});
  Start();
  ASSERT_TRUE(PressUninstall());
  EXPECT_FALSE(IsFolder(Dest()));
}

TEST_F(UninstallTest, TheValuesAreDeletedInOrderAndThenTheKeyWithItsSubkeys) {
  Installed();
  {
    plat::RegKey key = 0;
    ASSERT_EQ(registry_.CreateKey(plat::kHKeyLocalMachine, "SOFTWARE\\NORTAVIA\\Zentaro\\Extra\\Deeper",
                                  key),
              0);
    registry_.CloseKey(key);
  }
  ObservedRegistry observed(registry_);
  services_.UseRegistry(&observed);
  Start();
  ASSERT_TRUE(PressUninstall());
  const std::vector<std::string> order = {"RootDir", "version", "Cognome", "Nome", "Indirizzo",
                                          "Citta",   "Prov",    "Eta",     "Tel",  "Maschio"};
  EXPECT_EQ(observed.valuesDeleted, order);
  EXPECT_FALSE(RecordExists());
  EXPECT_TRUE(registry_.KeyExists(plat::kHKeyLocalMachine, "SOFTWARE\\NORTAVIA"));
}

TEST_F(UninstallTest, TheBarGoesOneTwoThreeTenWithButton2Disabled) {
  Installed();
  ObservedFiles files;
  services_.UseFiles(&files);
  auto& w = Start();
  std::vector<std::string> seen;
  files.onCall = [&](const std::string& op, const std::string& path) {
    seen.push_back(op + " " + std::to_string(w.ProgressBar2->Position()) +
                   (w.Button2->Enabled() ? " enabled " : " disabled ") +
                   plat::ExtractFileName(path));
  };
  int positionAtMessage = -1;
  bool button2AtMessage = true;
  gui_.OnMessageBox = [&](const gui::HeadlessBackend::BoxRecord&) {
    positionAtMessage = w.ProgressBar2->Position();
    // The detector keeps ticking while the message is open: going offline and online again
    // must not give the button back before the uninstall has ended.
    online_ = false;
    Tick();
    online_ = true;
    Tick();
    button2AtMessage = w.Button2->Enabled();
    return plat::mb::kIdOk;
  };
  ASSERT_TRUE(PressUninstall());
  const std::vector<std::string> expected = {
      "DeleteFile 1 disabled Lumidesk.exe.lnk",  // Start menu
      "RemoveDir 1 disabled Lumidesk",
      "DeleteFile 1 disabled Lumidesk.lnk",      // desktop
      "DeleteFile 1 disabled Lumidesk.exe.lnk",  // Programs menu
      "RemoveDir 1 disabled Lumidesk",
      "FileExists 3 disabled Lumidesk.EXE",      // the one listed file
      "DeleteFile 3 disabled Lumidesk.EXE",
      "RemoveDir 3 disabled Lumidesk",           // the installation folder
  };
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(positionAtMessage, 10);
  EXPECT_FALSE(button2AtMessage);
  EXPECT_TRUE(w.Button2->Enabled());

  // With nothing listed, the folder removal comes right after the second step.
  files.onCall = nullptr;
  w.MyShortCut1->Setlistafile({});
  w.ProgressBar2->SetPosition(0);
  Installed();
  int positionAtFolderRemoval = -1;
  files.onCall = [&](const std::string& op, const std::string& path) {
    if (op == "RemoveDir" && path == Dest()) positionAtFolderRemoval = w.ProgressBar2->Position();
  };
  ASSERT_TRUE(PressUninstall());
  EXPECT_EQ(positionAtFolderRemoval, 2);
  EXPECT_EQ(positionAtMessage, 10);
  EXPECT_TRUE(IsFile(InDest("Lumidesk.EXE")));
}

TEST_F(UninstallTest, WithoutRootDirTheLinksGoButNoFileIsDeleted) {
  WriteRecord({{"Cognome", "Rossi"}});
  ObservedFiles files;
  services_.UseFiles(&files);
  auto& w = Start();
  std::vector<std::string> touched;
  files.onCall = [&](const std::string& op, const std::string& path) {
    if (op == "FileExists" || op == "DeleteFile" || op == "RemoveDir")
      if (plat::ExtractFileName(path) != "Lumidesk.exe.lnk" &&
          plat::ExtractFileName(path) != "Lumidesk.lnk" && plat::ExtractFileName(path) != "Lumidesk")
        touched.push_back(op + " " + path);
  };
  ASSERT_TRUE(PressUninstall());
  EXPECT_TRUE(touched.empty()) << touched.front();
  EXPECT_FALSE(IsFile(StartMenuLink()));
  EXPECT_FALSE(IsFile(DesktopLink()));
  EXPECT_FALSE(IsFile(ProgramsLink()));
  EXPECT_FALSE(RecordExists());
  EXPECT_EQ(w.ProgressBar2->Position(), 10);
  EXPECT_EQ(UninstalledBoxes(), 1);
  EXPECT_TRUE(w.Button2->Enabled());
}

TEST_F(UninstallTest, ARelativeRootDirDeletesNothingEither) {
  for (const char* root : {"Zentaro.exe", "sub\\Zentaro.exe", "c:Zentaro.exe"}) {
    WriteRecord({{"RootDir", root}});
    ObservedFiles files;
    services_.UseFiles(&files);
    Start();
    int fileCalls = 0;
    files.onCall = [&](const std::string& op, const std::string& path) {
      if (op == "FileExists" || path.find("Zentaro") != std::string::npos ||
          plat::ExtractFileName(path) == "sub")
        ++fileCalls;
    };
    ASSERT_TRUE(PressUninstall()) << root;
    EXPECT_EQ(fileCalls, 0) << root;
    EXPECT_FALSE(RecordExists()) << root;
    delete form_;
  }
}

TEST_F(UninstallTest, WithoutARecordOnlyTheMessageIsShownEachTime) {
  Installed();
  auto& w = Start();
  ASSERT_TRUE(PressUninstall());
  ASSERT_TRUE(IsFolder(Dest()));
  Put(InDest("Lumidesk.EXE"), "reinstalled by hand");
  ASSERT_TRUE(PressUninstall());  // the key is gone now
  EXPECT_EQ(UninstalledBoxes(), 2);
  EXPECT_TRUE(IsFile(InDest("Lumidesk.EXE")));
  EXPECT_EQ(w.ProgressBar2->Position(), 10);
  EXPECT_TRUE(w.Button2->Enabled());
  EXPECT_EQ(ExceptionBoxes(), 0);
}

TEST_F(UninstallTest, AFailingRemovalIsShownAndStopsTheRemainingSteps) {
  Installed();
  class FailingExists : public ObservedFiles {
   public:
    bool FileExists(const std::string& path) override {
      if (plat::ExtractFileName(path) == "Lumidesk.EXE") throw plat::Error("device not ready");
      return ObservedFiles::FileExists(path);
    }
  } files;
  services_.UseFiles(&files);
  auto& w = Start();
  ASSERT_TRUE(PressUninstall());
  ASSERT_EQ(ExceptionBoxes(), 1);
  EXPECT_EQ(gui_.Boxes().back().text, "Errore cancellazione ditta");
  EXPECT_EQ(UninstalledBoxes(), 0);
  EXPECT_FALSE(w.Button2->Enabled());
  // The uninstall has ended: the detector's next report gives the button back.
  online_ = true;
  Tick();
  EXPECT_TRUE(w.Button2->Enabled());
  EXPECT_EQ(w.ProgressBar2->Position(), 3);
  // What was done before the failure stays done.
  EXPECT_FALSE(RecordExists());
  EXPECT_FALSE(IsFile(StartMenuLink()));
  EXPECT_TRUE(IsFile(InDest("Lumidesk.EXE")));
}

}  // namespace
}  // namespace wizardtest
