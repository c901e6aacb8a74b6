// The installation run: routing of every member by its stored path, the subfolders, the links
// made when the program is met, progress, cursor and messages, a run that fails, and what a
// run refuses while it is in progress.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallFixture.h"
#include "platform/Error.h"
#include "platform/Shell.h"
#include "shell/ShortCut.h"
#include "wizard/FileRouting.h"
#include "wizard/Unit2.h"

namespace wizardtest {
namespace {

TEST(FileRoutingTest, ExtensionIsTheSecondDotSeparatedPieceOfTheWholePath) {
  struct Case {
    const char* path;
    const char* extension;
  } cases[] = {
      {"c:\\src\\docs\\Letter.Txt", "TXT"},
      {"c:\\src\\pack.tar.gz", "TAR"},
      {"c:\\rel1.5\\page.htm", "5\\PAGE"},  // a dot in a folder name decides
      {"c:\\src\\README", ""},
      {"..hidden.txt", "TXT"},  // leading dots are skipped
      {"a...b.c", "B"},         // a run of dots is one separator
      {"name.", ""},
      {"...", ""},
      {"", ""},
      {"x.JpEg", "JPEG"},
      {"x.t\xE8st", "T\xE8ST"},  // only ASCII letters are upper-cased
  };
  for (const Case& c : cases) EXPECT_EQ(wizard::RoutingExtension(c.path), c.extension) << c.path;
}

TEST(FileRoutingTest, SubfolderByExtension) {
  for (const char* e : {"TXT", "GIF", "HTM", "HTML", "JPG", "JPEG"})
    EXPECT_EQ(wizard::SubfolderFor(e), "Modelli") << e;
  for (const char* e : {"BMP", "RVF"}) EXPECT_EQ(wizard::SubfolderFor(e), "ModelliRTF") << e;
  for (const char* e : {"", "JPE", "TAR", "EXE", "txt", "5\\PAGE", "RTF"})
    EXPECT_EQ(wizard::SubfolderFor(e), "") << e;
}

TEST(FileRoutingTest, FileNamesThatWouldLeaveTheFolderAreRefused) {
  const auto route = [](const std::string& fileName) {
    return wizard::RouteMember("c:\\src\\" + fileName, "d:\\dest");
  };
  const std::pair<const char*, const char*> routed[] = {
      {"Lumidesk.exe", "d:\\dest\\Lumidesk.exe"},
      {"a b.txt", "d:\\dest\\Modelli\\a b.txt"},
      {".profile", "d:\\dest\\.profile"},
      {"x..y", "d:\\dest\\x..y"},
  };
  for (const auto& r : routed) {
    EXPECT_FALSE(route(r.first).Refused()) << r.first;
    EXPECT_EQ(route(r.first).target, r.second) << r.first;
  }
  for (const char* n : {"", ".", "..", "...", ". .", "a/../../x", "../x", "x/"}) {
    EXPECT_TRUE(route(n).Refused()) << n;
    EXPECT_EQ(route(n).target, "") << n;
  }
}

class InstallRunTest : public InstallTest {};

TEST_F(InstallRunTest, EveryMemberIsRoutedByItsStoredPath) {
  struct Case {
    const char* stored;
    const char* target;  // below the destination
  } cases[] = {
      {"c:\\src\\docs\\Letter.Txt", "Modelli\\Letter.Txt"},
      {"c:\\src\\pics\\photo.jpeg", "Modelli\\photo.jpeg"},
      {"c:\\src\\pics\\photo.jpe", "photo.jpe"},
      {"c:\\src\\art\\logo.BMP", "ModelliRTF\\logo.BMP"},
      {"c:\\src\\art\\form.rvf", "ModelliRTF\\form.rvf"},
      {"c:\\src\\pack.tar.gz", "pack.tar.gz"},
      {"c:\\rel1.5\\page.htm", "page.htm"},
      {"c:\\src\\README", "README"},
      {"c:\\a\\b\\c\\d\\e\\deep.gif", "Modelli\\deep.gif"},  // every folder level dropped
      {"d:index.HTML", "Modelli\\index.HTML"},
      {"c:\\src\\x.JPG", "Modelli\\x.JPG"},
      {"c:\\src\\notes.txt.bak", "Modelli\\notes.txt.bak"},
      {"c:\\src\\Lumidesk.exe", "Lumidesk.exe"},
  };
  std::vector<archive::WriterMember> members;
  for (const Case& c : cases) members.push_back(MemoryMember(c.stored, std::string("<") + c.stored));
  auto& w = OpenAtInstallPage(members);
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(w.InstallDone());
  for (const Case& c : cases) {
    EXPECT_EQ(testsupport::ReadWholeFile(InDest(c.target)), std::string("<") + c.stored)
        << c.stored;
    EXPECT_EQ(plat::RealFileSystem().FileAge(InDest(c.target)), 0x5A8B6000) << c.stored;
  }
  // Nothing else was made: the destination holds the routed files and the two subfolders.
  std::size_t files = 0;
  for (const auto& e : plat::RealFileSystem().ListDirectory(Dest())) files += !e.isDirectory;
  std::size_t templates = plat::RealFileSystem().ListDirectory(InDest("Modelli")).size();
  std::size_t rtf = plat::RealFileSystem().ListDirectory(InDest("ModelliRTF")).size();
  EXPECT_EQ(files, 5u);
  EXPECT_EQ(templates, 6u);
  EXPECT_EQ(rtf, 2u);
  EXPECT_FALSE(IsFolder(InDest("src")));
}

TEST_F(InstallRunTest, BothSubfoldersExistAfterTwoMembersEvenWhenNothingIsRoutedThere) {
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "p"),
                               MemoryMember("c:\\src\\readme.doc", "r")});
  // The destination's parent does not exist: the first member's preparation cannot make the
  // folders, the engine makes the chain, the second member's preparation makes both.
  w.LabelDir->SetCaption(Path("new\\Lumidesk"));
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(w.InstallDone());
  EXPECT_TRUE(IsFolder(Path("new\\Lumidesk\\Modelli")));
  EXPECT_TRUE(IsFolder(Path("new\\Lumidesk\\ModelliRTF")));
  EXPECT_TRUE(plat::RealFileSystem().ListDirectory(Path("new\\Lumidesk\\Modelli")).empty());
  EXPECT_TRUE(IsFile(Path("new\\Lumidesk\\readme.doc")));
}

TEST_F(InstallRunTest, TheProgramInAnyLetterCaseMakesTheLinksBeforeItIsWritten) {
  ObservedFiles files;
  bool programExistedAtLinkTime = true;
  int groupFolders = 0;
  files.onCall = [&](const std::string& op, const std::string& path) {
    if (op == "CreateDir" && plat::ExtractFileName(path) == "Lumidesk" && path != Dest()) {
      ++groupFolders;
      programExistedAtLinkTime = IsFile(InDest("LUMIDESK.EXE"));
    }
  };
  services_.UseFiles(&files);
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\docs\\a.txt", "a"),
                               MemoryMember("c:\\build\\LUMIDESK.EXE", "program"),
                               MemoryMember("c:\\src\\search.ico", "icon")});
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(groupFolders, 2);  // Start menu and Programs menu
  EXPECT_FALSE(programExistedAtLinkTime);
  EXPECT_EQ(w.MyShortCut1->FilePathName, InDest("LUMIDESK.EXE"));
  EXPECT_EQ(w.MyShortCut1->IconPathName, InDest("search.ico"));

  plat::LinkInfo link;
  ASSERT_TRUE(plat::SystemShell().ReadLink(StartMenuLink(), link));
  EXPECT_EQ(link.target, InDest("LUMIDESK.EXE"));
  EXPECT_EQ(link.description, "Lumidesk.exe");
  ASSERT_TRUE(plat::SystemShell().ReadLink(ProgramsLink(), link));
  EXPECT_EQ(link.target, InDest("LUMIDESK.EXE"));
  ASSERT_TRUE(plat::SystemShell().ReadLink(DesktopLink(), link));
  EXPECT_EQ(link.target, InDest("LUMIDESK.EXE"));
  EXPECT_EQ(link.description, "Falc@ro");
}

TEST_F(InstallRunTest, APayloadWithoutTheProgramMakesNoLinks) {
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe.txt", "not the program"),
                               MemoryMember("c:\\src\\Lumidesk", "nor this")});
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(w.InstallDone());
  EXPECT_FALSE(IsFile(StartMenuLink()));
  EXPECT_FALSE(IsFile(DesktopLink()));
  EXPECT_EQ(w.MyShortCut1->IconPathName, "search.ico");
}

TEST_F(InstallRunTest, ProgressMovesAndIsRepaintedAtOnceUnderTheHourglass) {
  std::string big(200000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919u) >> 5);
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", big),
                               MemoryMember("c:\\src\\data.bin", big)});
  EXPECT_FALSE(w.ProgressBar1->Visible());
  std::vector<int> positions;
  int cursorDuringRun = 0;
  gui::HeadlessBackend* g = &gui_;
  const int pumpsBefore = gui_.ProcessMessagesCalls();
  // The check before the restore moves the bar too; its repaints are not the restore's.
  int repaintsBefore = -1;
  w.BackupFile1->OnProgress = [&, inner = w.BackupFile1->OnProgress](
                                  archive::TBackupFile* b, std::string n, archive::TPercentage p,
                                  bool& go) {
    if (repaintsBefore < 0) repaintsBefore = gui_.RepaintCount(*w.ProgressBar1);
    inner(b, n, p, go);
    positions.push_back(w.ProgressBar1->Position());
    cursorDuringRun = g->Cursor();
    EXPECT_TRUE(w.ProgressBar1->Visible());
  };
  ASSERT_TRUE(PressInstall());
  EXPECT_GT(gui_.ProcessMessagesCalls(), pumpsBefore);
  ASSERT_GE(positions.size(), 3u);
  for (std::size_t i = 1; i < positions.size(); ++i) EXPECT_GE(positions[i], positions[i - 1]);
  EXPECT_EQ(positions.back(), 100);
  EXPECT_EQ(gui_.RepaintCount(*w.ProgressBar1) - repaintsBefore,
            static_cast<int>(positions.size()));
  EXPECT_EQ(cursorDuringRun, gui::crHourGlass);
  EXPECT_EQ(gui_.Cursor(), gui::crDefault);
}

TEST_F(InstallRunTest, SuccessIsToldAndTheWindowClosesAndRecordsTheInstallation) {
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "p")});
  ASSERT_TRUE(PressInstall());
  ASSERT_EQ(BoxesTitled(wizard::kInstallDoneTitle), 1);
  for (const auto& b : gui_.Boxes()) {
    if (b.title != wizard::kInstallDoneTitle) continue;
    EXPECT_EQ(b.text, "Lanciare il programma dall'icona sul desktop");
    EXPECT_EQ(b.flags, plat::mb::kOk);
  }
  EXPECT_TRUE(w.InstallDone());
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(w.LastCloseAction(), gui::TCloseAction::caFree);
  EXPECT_EQ(RecordValue("RootDir"), Dest() + "\\Zentaro.exe");
  EXPECT_EQ(ExceptionBoxes(), 0);
}

TEST_F(InstallRunTest, AFailedRunIsToldAndLeavesTheWizardUsableForAnotherTry) {
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "p"),
                               MemoryMember("c:\\src\\search.ico", "i"),
                               MemoryMember("c:\\src\\blocked.dat", "b")});
  // A folder where a file must go: the engine cannot create the file.
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(InDest("blocked.dat")));
  ASSERT_TRUE(PressInstall());
  EXPECT_FALSE(w.InstallDone());
  EXPECT_EQ(BoxesTitled(wizard::kInstallDoneTitle), 0);
  ASSERT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1);
  // The file that could not be written is named; it did not exist before the run. What the run
  // had made before it is gone again: the files, their temporary names, the subfolders and the
  // links, and the user is told so.
  EXPECT_EQ(gui_.Boxes().back().text,
            std::string(wizard::kFileNotWrittenText) + InDest("blocked.dat") +
                wizard::kFileNotWrittenAdvice + wizard::kRunUndoneText);
  const std::vector<plat::DirEntry> left = plat::RealFileSystem().ListDirectory(Dest());
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].name, "blocked.dat");
  EXPECT_FALSE(IsFile(StartMenuLink()) || IsFile(ProgramsLink()) || IsFile(DesktopLink()));
  EXPECT_EQ(gui_.Boxes().back().flags, plat::mb::kOk | plat::mb::kIconError);
  EXPECT_FALSE(app_.Terminated());
  EXPECT_EQ(gui_.Cursor(), gui::crDefault);
  EXPECT_EQ(w.ProgressBar1->Position(), 0);
  EXPECT_FALSE(w.ProgressBar1->Visible());
  EXPECT_FALSE(w.Installing());
  EXPECT_EQ(w.Notebook1->PageIndex(), kInstallPage);
  EXPECT_FALSE(RecordExists());

  // Clear the obstacle and try again: the icon path is prefixed once, not twice.
  ASSERT_TRUE(plat::RealFileSystem().RemoveDir(InDest("blocked.dat")));
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(w.InstallDone());
  EXPECT_EQ(w.MyShortCut1->IconPathName, InDest("search.ico"));
  EXPECT_EQ(BoxesTitled(wizard::kInstallDoneTitle), 1);
  EXPECT_EQ(RecordValue("RootDir"), Dest() + "\\Zentaro.exe");
}

TEST_F(InstallRunTest, ARepeatedRunIntoAnotherFolderStartsFromTheInitialIconPath) {
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "p"),
                               MemoryMember("c:\\src\\x.dat", "x")});
  // The first run fails at its second member; the program was met and the links made.
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(InDest("x.dat")));
  ASSERT_TRUE(PressInstall());
  ASSERT_FALSE(w.InstallDone());
  EXPECT_EQ(w.MyShortCut1->IconPathName, InDest("search.ico"));
  w.LabelDir->SetCaption(Path("other"));
  std::string iconAtStart = "<not seen>";
  auto inner = w.BackupFile1->OnRestoreFile;
  w.BackupFile1->OnRestoreFile = [&](archive::TBackupFile* b, std::string& n, std::int32_t fa,
                                     bool& d) {
    if (iconAtStart == "<not seen>") iconAtStart = w.MyShortCut1->IconPathName;
    inner(b, n, fa, d);
  };
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(iconAtStart, "search.ico");
  EXPECT_TRUE(w.InstallDone());
  EXPECT_EQ(w.MyShortCut1->IconPathName, Path("other\\search.ico"));
  EXPECT_EQ(w.MyShortCut1->FilePathName, Path("other\\Lumidesk.exe"));
}

TEST_F(InstallRunTest, ADestinationThatIsNotAFullPathIsRefusedBeforeAnythingIsMade) {
  // Taken from the current drive and folder, these would put the product wherever the
  // installer was started from. Every folder or file the run asks for is refused here, so
  // that nothing lands there even when the check is missing.
  std::vector<std::string> made;
  ObservedFiles files;
  files.onCall = [&](const std::string& op, const std::string& path) {
    if (op == "CreateDir" || op == "Create") {
      made.push_back(op + " " + path);
      throw plat::Error("refused by the test: " + path);
    }
  };
  services_.UseFiles(&files);
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "p"),
                               MemoryMember("c:\\src\\docs\\a.txt", "a")});
  for (const char* typed : {"", "Lumidesk"}) {
    w.Notebook1->SetPageIndex(wizard::kFolderPage);
    gui_.OnModal = [&](gui::TForm& f) {
      auto& chooser = dynamic_cast<wizard::TForm2&>(f);
      ASSERT_TRUE(gui_.Type(*chooser.Edit1, typed));
      gui_.Click(*chooser.Button1);  // "Conferma"
    };
    ASSERT_TRUE(gui_.Click(*w.Button5));  // "Cambia"
    ASSERT_EQ(w.LabelDir->Caption(), typed);  // the chooser itself takes any text
    w.Notebook1->SetPageIndex(kInstallPage);
    ASSERT_TRUE(PressInstall());
    EXPECT_TRUE(made.empty()) << typed << ": " << made.front();
    ASSERT_EQ(gui_.Boxes().size(), 1u) << typed;
    EXPECT_EQ(gui_.Boxes()[0].title, wizard::kInstallFailedTitle);
    EXPECT_EQ(gui_.Boxes()[0].text,
              "La cartella di destinazione manca o non \xE8 un percorso completo. Scegliere con il "
              "pulsante Cambia una cartella di destinazione completa, per esempio "
              "c:\\programmi\\nortavia\\Lumidesk");
    EXPECT_EQ(gui_.Boxes()[0].flags, plat::mb::kOk | plat::mb::kIconError);
    EXPECT_FALSE(w.ProgressBar1->Visible());
    EXPECT_FALSE(w.InstallDone());
    EXPECT_FALSE(app_.Terminated());
    gui_.ClearBoxes();
  }
  // A full path chosen afterwards installs.
  files.onCall = nullptr;
  w.LabelDir->SetCaption(Dest());
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(w.InstallDone());
  EXPECT_TRUE(IsFile(InDest("Lumidesk.exe")));
}

TEST_F(InstallRunTest, ADamagedPayloadFailsTheRun) {
  // Text that deflates to a few kilobytes: the member's compressed block fills most of the
  // archive, so its middle is spoilt.
  std::string content;
  for (int i = 0; i < 3000; ++i) content += "riga " + std::to_string(i * i) + "\n";
  OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", content)});
  delete form_;
  std::string bytes = testsupport::ReadWholeFile(InstallerPath());
  const std::size_t stub = 4096;
  ASSERT_GT(bytes.size(), stub + 4000);
  const std::size_t middle = stub + (bytes.size() - stub) / 2;
  for (std::size_t i = middle; i < middle + 16; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
  testsupport::WriteWholeFile(InstallerPath(), bytes);
  auto& w = StartWizard();
  w.LabelDir->SetCaption(Dest());
  Tick();
  w.Notebook1->SetPageIndex(kInstallPage);
  ASSERT_TRUE(PressInstall());
  EXPECT_FALSE(w.InstallDone());
  EXPECT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1);
  EXPECT_FALSE(app_.Terminated());
}

TEST_F(InstallRunTest, NamesThatWouldLeaveTheDestinationAreNeverWritten) {
  for (const char* stored : {"c:\\a/../../escaped", "c:\\src\\..", "c:\\src\\", "c:.."}) {
    auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "p"),
                                 MemoryMember(stored, "hostile")});
    // Windows resolves ".." in the text; the POSIX file layer needs the folder it steps out of.
    ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(InDest("a")));
    ASSERT_TRUE(PressInstall()) << stored;
    EXPECT_FALSE(w.InstallDone()) << stored;
    EXPECT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1) << stored;
    EXPECT_FALSE(IsFile(Path("escaped"))) << stored;
    EXPECT_FALSE(IsFile(InDest("escaped"))) << stored;
    delete form_;
    gui_.ClearBoxes();
  }
}

TEST_F(InstallRunTest, StoredPathsOf260CharactersOrMoreAreRoutedWhole) {
  std::string folders = "c:";
  while (folders.size() < 300) folders += "\\folder.level";
  // The dot in the folder names decides: "LEVEL\FOLDER" is no template extension.
  const std::string dotted = folders + "\\long.txt";
  std::string plain = "c:";
  while (plain.size() < 300) plain += "\\folderlevel";
  const std::string routed = plain + "\\long.txt";
  ASSERT_GE(dotted.size(), 260u);
  auto& w = OpenAtInstallPage({MemoryMember(dotted, "dotted"), MemoryMember(routed, "routed")});
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(w.InstallDone());
  EXPECT_EQ(testsupport::ReadWholeFile(InDest("Modelli\\long.txt")), "routed");
  EXPECT_EQ(wizard::RoutingExtension(dotted), "LEVEL\\FOLDER");
  EXPECT_EQ(wizard::RoutingExtension(routed), "TXT");
}

TEST_F(InstallRunTest, ASecondPressDuringTheRunIsRefused) {
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", std::string(100000, 'p')),
                               MemoryMember("c:\\src\\docs\\a.txt", "a")});
  int runs = 0;
  auto inner = w.BackupFile1->OnRestoreFile;
  w.BackupFile1->OnRestoreFile = [&](archive::TBackupFile* b, std::string& n, std::int32_t fa,
                                     bool& d) {
    if (plat::ExtractFileName(n) == "Lumidesk.exe") ++runs;
    inner(b, n, fa, d);
  };
  // Delivered by the restore's first message pump, while the run is in progress.
  gui_.PostClick(*w.Button9);
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(runs, 1);
  // A run inside the run would leave the outer one reading a moved stream and failing.
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].title, wizard::kInstallDoneTitle);
  EXPECT_EQ(w.MyShortCut1->IconPathName, InDest("search.ico"));
}

TEST_F(InstallRunTest, PageChangesAndClosingAreRefusedDuringTheRun) {
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", std::string(100000, 'p')),
                               MemoryMember("c:\\src\\docs\\a.txt", "a")});
  int pageDuringRun = -1;
  bool closedDuringRun = false;
  gui_.PostClick(*w.Button10);  // "<<Indietro"
  gui_.Post([&] {
    w.Close();
    closedDuringRun = app_.Terminated();
    pageDuringRun = w.Notebook1->PageIndex();
  });
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(pageDuringRun, kInstallPage);
  EXPECT_FALSE(closedDuringRun);
  // The run then ends as usual: message, close, record.
  EXPECT_TRUE(w.InstallDone());
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(RecordValue("RootDir"), Dest() + "\\Zentaro.exe");
}

TEST_F(InstallRunTest, FolderPreparationThatFailsEndsTheRunWithoutWritingTheMember) {
  class ThrowingFolders : public ObservedFiles {
   public:
    bool DirectoryExists(const std::string& path) override {
      if (plat::ExtractFileName(path) == "ModelliRTF") throw plat::Error("device not ready");
      return ObservedFiles::DirectoryExists(path);
    }
  } files;
  services_.UseFiles(&files);
  auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "p")});
  std::string raised;
  auto inner = w.BackupFile1->OnRestoreFile;
  w.BackupFile1->OnRestoreFile = [&](archive::TBackupFile* b, std::string& n, std::int32_t fa,
                                     bool& d) {
    try {
      inner(b, n, fa, d);
    } catch (const plat::Error& e) {
      raised = e.what();
      throw;
    }
  };
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(raised, "Impossibile creare la cartella destinazione");
  EXPECT_FALSE(w.InstallDone());
  EXPECT_FALSE(IsFile(InDest("Lumidesk.exe")));
  EXPECT_FALSE(IsFile(StartMenuLink()));
  EXPECT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1);
  EXPECT_EQ(ExceptionBoxes(), 0);  // the engine absorbed the handler's error
}

}  // namespace
}  // namespace wizardtest
