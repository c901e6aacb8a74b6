// The shell links of TMyShortCut: what CreateLink and RemoveLink make and remove, the single
// link operations with their results, independence of the steps, COM balance and the bound of
// the shell's path buffers.
#include <string>
#include <vector>

#include "ShortCutFixture.h"

namespace shelltest {
namespace {

using plat::ShellResult;
using plat::SpecialFolder;
constexpr ShellResult kOk = ShellResult::kOk;
constexpr ShellResult kFail = ShellResult::kFailed;

const std::string kLinkFile = "\\Lumidesk\\Lumidesk.exe.lnk";

TEST(ShortCutDefaults, ConstructorValues) {
  plat::MemoryRegistry registry;
  TestShell shell("c:\\unused");
  shell::TMyShortCut c(nullptr, shell, plat::RealFileSystem(), registry);
  EXPECT_FALSE(c.CreateDeskTopLink || c.CreateFolder || c.CreateToTrova || c.CreateToExplorer ||
               c.CreateToAvvio);
  for (const std::string* s : {&c.FilePathName, &c.IconPathName, &c.MenuText,
                               &c.GruppoProgrammiName, &c.ExeName, &c.Descrizione,
                               &c.DescrizioneExeInForder, &c.LinkName}) {
    EXPECT_EQ(*s, "");
  }
  EXPECT_EQ(c.CLSIDExplore, "{4B30061A-5D23-11D3-80F8-0090276F843F}");
  EXPECT_EQ(c.CLSIDExplore1, "{4B30061A-5D22-11D3-80F8-0090276F843F}");
  EXPECT_EQ(c.DesktopFolderId, SpecialFolder::kDesktopDirectory);
  EXPECT_TRUE(c.listafile().empty());
  EXPECT_EQ(shell.resolutions, 0) << "construction touches nothing";
}

TEST(ShortCutDefaults, PublishedPropertiesInStreamingOrderAndStoredRules) {
  const std::vector<std::string> expected = {
      "ExeName", "FilePathName", "IconPathName", "Descrizione", "MenuText", "LinkName",
      "CLSIDExplore", "CLSIDExplore1", "GruppoProgrammiName", "DescrizioneExeInForder",
      "CreateDeskTopLink", "CreateFolder", "CreateToTrova", "CreateToExplorer", "CreateToAvvio",
      "listafile"};
  std::vector<std::string> names;
  for (const auto& p : shell::TMyShortCut::PublishedProperties()) names.push_back(p.name);
  EXPECT_EQ(names, expected);

  plat::MemoryRegistry registry;
  TestShell shell("c:\\unused");
  shell::TMyShortCut c(nullptr, shell, plat::RealFileSystem(), registry);
  c.CreateFolder = true;
  c.MenuText = "x";
  std::vector<std::string> stored;
  for (const auto& p : shell::TMyShortCut::PublishedProperties()) {
    if (c.IsStored(p)) stored.push_back(p.name);
  }
  // Switches only when true, strings and the list only when not empty.
  EXPECT_EQ(stored, (std::vector<std::string>{"MenuText", "CLSIDExplore", "CLSIDExplore1",
                                              "CreateFolder"}));
}

TEST(ShortCutDefaults, SetlistafileCopiesAndReplaces) {
  plat::MemoryRegistry registry;
  TestShell shell("c:\\unused");
  shell::TMyShortCut c(nullptr, shell, plat::RealFileSystem(), registry);
  std::vector<std::string> mine = {"a.exe", "Modelli\\x.rtf"};
  c.Setlistafile(mine);
  mine[0] = "changed";
  mine.push_back("more");
  EXPECT_EQ(c.listafile(), (std::vector<std::string>{"a.exe", "Modelli\\x.rtf"}));
  c.Setlistafile({"b.exe"});
  EXPECT_EQ(c.listafile(), (std::vector<std::string>{"b.exe"}));
  c.Setlistafile(c.listafile());
  EXPECT_EQ(c.listafile(), (std::vector<std::string>{"b.exe"}));
  c.Setlistafile({});
  EXPECT_TRUE(c.listafile().empty());
}

TEST(ShortCutDefaults, OwnerFreesTheComponentAndFindsItByTag) {
  plat::MemoryRegistry registry;
  TestShell shell("c:\\unused");
  gui::TComponent owner(nullptr);
  auto* c = new shell::TMyShortCut(&owner, shell, plat::RealFileSystem(), registry);
  c->SetName("MyShortCut1");
  c->SetTag(50);
  ASSERT_EQ(owner.ComponentCount(), 1);
  EXPECT_EQ(owner.Components()[0]->Tag(), 50);
  EXPECT_EQ(owner.Find<shell::TMyShortCut>("myshortcut1"), c);
}

TEST_F(ShortCutTest, WizardConfigurationMakesThreeLinks) {
  sc_->CreateLink();

  const plat::LinkInfo start = Link(StartMenu() + kLinkFile);
  EXPECT_EQ(start.target, program_);
  EXPECT_EQ(start.description, "Lumidesk.exe");
  EXPECT_EQ(start.showCmd, plat::ShowCommand::kNormal) << "menu links keep the default";
  // Only the desktop link sets a show command.
  EXPECT_EQ(shell_->showCmds, std::vector<plat::ShowCommand>{plat::ShowCommand::kShow});

  const plat::LinkInfo programs = Link(Programs() + kLinkFile);
  EXPECT_EQ(programs.target, program_);
  EXPECT_EQ(programs.description, "Lumidesk.exe");

  const plat::LinkInfo desktop = Link(Desktop() + "\\Lumidesk.lnk");
  EXPECT_EQ(desktop.target, program_);
  EXPECT_EQ(desktop.description, "Falc@ro");

  // The menu links are named after the executable, the desktop link after LinkName.
  EXPECT_FALSE(FileExists(StartMenu() + "\\Lumidesk\\Lumidesk.lnk"));
  EXPECT_FALSE(FileExists(Desktop() + "\\Lumidesk.exe.lnk"));
  EXPECT_EQ(registry_.CallCount(), 0) << "no registration with the wizard's switches";
}

TEST_F(ShortCutTest, RemoveLinkRemovesLinksAndEmptyGroupFolders) {
  sc_->CreateLink();
  sc_->FilePathName.clear();  // removal goes by the names only
  sc_->RemoveLink();
  EXPECT_FALSE(FileExists(StartMenu() + kLinkFile));
  EXPECT_FALSE(FileExists(Programs() + kLinkFile));
  EXPECT_FALSE(FileExists(Desktop() + "\\Lumidesk.lnk"));
  EXPECT_FALSE(FolderExists(StartMenu() + "\\Lumidesk"));
  EXPECT_FALSE(FolderExists(Programs() + "\\Lumidesk"));
  EXPECT_TRUE(FolderExists(StartMenu())) << "the special folder itself stays";
  EXPECT_TRUE(FolderExists(Desktop()));
  // A second removal finds nothing and is no error.
  sc_->RemoveLink();
}

TEST_F(ShortCutTest, ExistingGroupFolderKeepsItsFilesAndExistingLinkIsReplaced) {
  plat::RealFileSystem().ForceDirectories(StartMenu() + "\\Lumidesk");
  WriteFile(StartMenu() + "\\Lumidesk\\Leggimi.txt", "x");
  WriteFile(StartMenu() + kLinkFile, "stale content");

  EXPECT_EQ(sc_->CreateUserStartMenuShortcut(program_.c_str(), "Lumidesk.exe", "Lumidesk",
                                             SpecialFolder::kStartMenu),
            kOk);
  EXPECT_EQ(Link(StartMenu() + kLinkFile).target, program_);
  EXPECT_TRUE(FileExists(StartMenu() + "\\Lumidesk\\Leggimi.txt"));

  // Removal takes the link but leaves the folder that still holds another file.
  EXPECT_EQ(sc_->DeleteUserStartMenuShortcut(program_.c_str(), "Lumidesk.exe", "Lumidesk",
                                             SpecialFolder::kStartMenu),
            kOk);
  EXPECT_FALSE(FileExists(StartMenu() + kLinkFile));
  EXPECT_TRUE(FolderExists(StartMenu() + "\\Lumidesk"));
  EXPECT_TRUE(FileExists(StartMenu() + "\\Lumidesk\\Leggimi.txt"));
}

TEST_F(ShortCutTest, GroupFolderWithASubfolderStays) {
  plat::RealFileSystem().ForceDirectories(Programs() + "\\Lumidesk\\Extra");
  sc_->CreateLink();
  sc_->RemoveLink();
  EXPECT_FALSE(FileExists(Programs() + kLinkFile));
  EXPECT_TRUE(FolderExists(Programs() + "\\Lumidesk\\Extra"));
  EXPECT_FALSE(FolderExists(StartMenu() + "\\Lumidesk"));
}

TEST_F(ShortCutTest, EmptyLinkNameGivesDotLnk) {
  sc_->LinkName.clear();
  sc_->CreateShortCutDesktop(program_);
  EXPECT_EQ(Link(Desktop() + "\\.lnk").target, program_);
  sc_->DeleteShortCutDesktop(program_);
  EXPECT_FALSE(FileExists(Desktop() + "\\.lnk"));
}

TEST_F(ShortCutTest, DesktopLinkIgnoresItsArgument) {
  sc_->CreateShortCutDesktop("c:\\somewhere\\else.exe");
  EXPECT_EQ(Link(Desktop() + "\\Lumidesk.lnk").target, program_);
  // Deleting with another argument still deletes LinkName's link.
  sc_->DeleteShortCutDesktop("c:\\other.exe");
  EXPECT_FALSE(FileExists(Desktop() + "\\Lumidesk.lnk"));
}

TEST_F(ShortCutTest, DesktopLinkFollowsDesktopFolderId) {
  sc_->DesktopFolderId = SpecialFolder::kPrograms;
  sc_->CreateShortCutDesktop("");
  EXPECT_TRUE(FileExists(Programs() + "\\Lumidesk.lnk"));
  EXPECT_FALSE(FileExists(Desktop() + "\\Lumidesk.lnk"));
}

TEST_F(ShortCutTest, DeletingAMissingDesktopLinkIsNoError) {
  sc_->DeleteShortCutDesktop("");
  EXPECT_FALSE(FileExists(Desktop() + "\\Lumidesk.lnk"));
  EXPECT_EQ(shell_->saves, 0) << "deleting saves nothing";
}

TEST_F(ShortCutTest, AllSwitchesOffDoesNothing) {
  sc_->CreateDeskTopLink = sc_->CreateFolder = sc_->CreateToAvvio = false;
  sc_->CreateToTrova = sc_->CreateToExplorer = false;
  sc_->CreateLink();
  sc_->RemoveLink();
  EXPECT_EQ(shell_->resolutions, 0);
  EXPECT_EQ(shell_->initialised, 0);
  EXPECT_EQ(shell_->linksCreated, 0);
  EXPECT_EQ(registry_.CallCount(), 0);
  EXPECT_TRUE(plat::RealFileSystem().ListDirectory(base_ + "\\StartMenu").empty());
}

TEST_F(ShortCutTest, CreateUsesTheGivenFolderAndTheProperties) {
  sc_->Create(SpecialFolder::kPrograms);
  const plat::LinkInfo link = Link(Programs() + kLinkFile);
  EXPECT_EQ(link.target, program_);
  EXPECT_EQ(link.description, "Lumidesk.exe");
  EXPECT_FALSE(FolderExists(StartMenu() + "\\Lumidesk"));
}

TEST_F(ShortCutTest, OtherPropertiesHaveNoEffectOnLinks) {
  sc_->Descrizione = "\x01\xE8 anything";
  sc_->CLSIDExplore1 = "not a guid";
  sc_->IconPathName = "?";
  sc_->CreateLink();
  EXPECT_EQ(Link(Desktop() + "\\Lumidesk.lnk").description, "Falc@ro");
  EXPECT_EQ(Link(StartMenu() + kLinkFile).description, "Lumidesk.exe");
}

// --- Each step is independent of the others ---

TEST_F(ShortCutTest, UnresolvedStartMenuDoesNotStopTheOtherLinks) {
  shell_->unresolved[SpecialFolder::kStartMenu] = true;
  sc_->CreateLink();
  EXPECT_FALSE(FolderExists(StartMenu() + "\\Lumidesk"));
  EXPECT_TRUE(FileExists(Desktop() + "\\Lumidesk.lnk"));
  EXPECT_TRUE(FileExists(Programs() + kLinkFile));
}

TEST_F(ShortCutTest, UnresolvedDesktopDoesNotStopTheOtherLinks) {
  shell_->unresolved[SpecialFolder::kDesktopDirectory] = true;
  sc_->CreateLink();
  EXPECT_TRUE(FileExists(StartMenu() + kLinkFile));
  EXPECT_TRUE(FileExists(Programs() + kLinkFile));
  EXPECT_EQ(shell_->initialised, 2) << "no COM for a desktop folder that did not resolve";
}

TEST_F(ShortCutTest, FailedSavesLeaveStepsUndoneAndRunTheRest) {
  shell_->failSave = kFail;
  sc_->CreateLink();
  EXPECT_FALSE(FileExists(StartMenu() + kLinkFile));
  EXPECT_FALSE(FileExists(Desktop() + "\\Lumidesk.lnk"));
  EXPECT_FALSE(FileExists(Programs() + kLinkFile));
  // All three steps got as far as saving.
  EXPECT_EQ(shell_->linksCreated, 3);
}

TEST_F(ShortCutTest, RemovalStepsAreIndependentToo) {
  sc_->CreateLink();
  shell_->unresolved[SpecialFolder::kStartMenu] = true;
  sc_->RemoveLink();
  EXPECT_TRUE(FileExists(StartMenu() + kLinkFile));
  EXPECT_FALSE(FileExists(Desktop() + "\\Lumidesk.lnk"));
  EXPECT_FALSE(FileExists(Programs() + kLinkFile));
}

// --- Result codes of the start-menu operations ---

struct ResultCase {
  const char* what;
  bool startMenuUnresolved;
  ShellResult createLink, queryFile, setDescription, save;  // kOk: the shell's own answer
  ShellResult expected;
  bool linkMade;
  bool groupFolderMade;
};

class StartMenuResultTest : public ShortCutTest,
                            public ::testing::WithParamInterface<ResultCase> {};

TEST_P(StartMenuResultTest, CreateAnswersTheLastShellResult) {
  const ResultCase& c = GetParam();
  shell_->unresolved[SpecialFolder::kStartMenu] = c.startMenuUnresolved;
  shell_->failCreateLink = c.createLink;
  shell_->failQueryPersistFile = c.queryFile;
  shell_->failSetDescription = c.setDescription;
  shell_->failSave = c.save;
  EXPECT_EQ(sc_->CreateUserStartMenuShortcut(program_.c_str(), "Lumidesk.exe", "Lumidesk",
                                             SpecialFolder::kStartMenu),
            c.expected);
  EXPECT_EQ(FileExists(StartMenu() + kLinkFile), c.linkMade);
  EXPECT_EQ(FolderExists(StartMenu() + "\\Lumidesk"), c.groupFolderMade);
}

constexpr ShellResult kNoInterface = ShellResult::kNoInterface;
constexpr ShellResult kOutOfMemory = ShellResult::kOutOfMemory;
constexpr ShellResult kAccessDenied = ShellResult::kAccessDenied;

INSTANTIATE_TEST_SUITE_P(
    Codes, StartMenuResultTest,
    ::testing::Values(
        ResultCase{"all succeed", false, kOk, kOk, kOk, kOk, kOk, true, true},
        ResultCase{"folder unresolved", true, kOk, kOk, kOk, kOk, shell::kFolderNotResolved,
                   false, false},
        ResultCase{"no link object", false, kOutOfMemory, kOk, kOk, kOk, kOutOfMemory, false,
                   false},
        ResultCase{"no file interface", false, kOk, kNoInterface, kOk, kOk, kNoInterface, false,
                   false},
        ResultCase{"description refused", false, kOk, kOk, kFail, kOk, kFail, false, false},
        ResultCase{"save refused", false, kOk, kOk, kOk, kAccessDenied, kAccessDenied, false,
                   true}),
    [](const ::testing::TestParamInfo<ResultCase>& info) {
      std::string name = info.param.what;
      for (char& ch : name) {
        if (ch == ' ') ch = '_';
      }
      return name;
    });

TEST_F(ShortCutTest, DeleteAnswersTheLastShellResult) {
  sc_->CreateLink();
  shell_->unresolved[SpecialFolder::kStartMenu] = true;
  EXPECT_EQ(sc_->DeleteUserStartMenuShortcut("", "Lumidesk.exe", "Lumidesk",
                                             SpecialFolder::kStartMenu),
            shell::kFolderNotResolved);
  shell_->unresolved.clear();

  shell_->failQueryPersistFile = kNoInterface;
  EXPECT_EQ(sc_->DeleteUserStartMenuShortcut("", "Lumidesk.exe", "Lumidesk",
                                             SpecialFolder::kStartMenu),
            kNoInterface);
  shell_->failQueryPersistFile = kOk;
  shell_->failSetDescription = kFail;
  EXPECT_EQ(sc_->DeleteUserStartMenuShortcut("", "Lumidesk.exe", "Lumidesk",
                                             SpecialFolder::kStartMenu),
            kFail);
  EXPECT_TRUE(FileExists(StartMenu() + kLinkFile)) << "nothing deleted on those failures";
  shell_->failSetDescription = kOk;

  EXPECT_EQ(sc_->DeleteUserStartMenuShortcut("", "Lumidesk.exe", "Lumidesk",
                                             SpecialFolder::kStartMenu),
            kOk);
  EXPECT_FALSE(FileExists(StartMenu() + kLinkFile));
  EXPECT_EQ(shell_->saves, 3) << "only CreateLink saved";
}

// --- COM initialisation ---

TEST_F(ShortCutTest, DesktopLinkNeedsComAndDoesNotUninitialiseAfterAFailedStart) {
  shell_->failInitialize = kFail;
  sc_->CreateShortCutDesktop("");
  EXPECT_EQ(shell_->linksCreated, 0);
  EXPECT_EQ(shell_->uninitialised, 0);
  EXPECT_FALSE(FileExists(Desktop() + "\\Lumidesk.lnk"));
}

TEST_F(ShortCutTest, StartMenuLinkGoesOnAfterAFailedComStartWithoutUninitialising) {
  shell_->failInitialize = kFail;
  const ShellResult result = sc_->CreateUserStartMenuShortcut(
      program_.c_str(), "Lumidesk.exe", "Lumidesk", SpecialFolder::kStartMenu);
  EXPECT_TRUE(plat::Failed(result)) << "no link object without COM";
  EXPECT_EQ(shell_->uninitialised, 0);
}

TEST_F(ShortCutTest, EveryOperationBalancesCom) {
  sc_->CreateLink();
  sc_->RemoveLink();
  sc_->Create(SpecialFolder::kStartMenu);
  EXPECT_EQ(shell_->initialised, 7);
  EXPECT_EQ(shell_->uninitialised, 7);
  EXPECT_EQ(shell_->linksAlive, 0);
}

// --- Paths longer than the shell's path buffers (260 characters with the terminator) ---

TEST_F(ShortCutTest, StartMenuLinkAtTheBufferLimit) {
  // folder + "\" + group + "\" + name + ".lnk" with 259 characters fits, 260 does not. The
  // group is short and the name long, so that no folder hits the shorter folder limit.
  const std::string folder = StartMenu();
  const std::string group = "G";
  const std::size_t fixed = folder.size() + 2 + group.size() + 4;
  ASSERT_LT(fixed + 1, 259u);
  const std::string fits(259 - fixed, 'n');
  const std::string tooLong(260 - fixed, 'n');

  EXPECT_EQ(sc_->CreateUserStartMenuShortcut(program_.c_str(), tooLong.c_str(), group.c_str(),
                                             SpecialFolder::kStartMenu),
            ShellResult::kPathTooLong);
  EXPECT_FALSE(FolderExists(folder + "\\G")) << "no group folder for a link not made";
  EXPECT_EQ(shell_->saves, 0);

  EXPECT_EQ(sc_->CreateUserStartMenuShortcut(program_.c_str(), fits.c_str(), group.c_str(),
                                             SpecialFolder::kStartMenu),
            kOk);
  const std::string made = folder + "\\G\\" + fits + ".lnk";
  ASSERT_EQ(made.size(), 259u);
  EXPECT_TRUE(FileExists(made));

  EXPECT_EQ(sc_->DeleteUserStartMenuShortcut("", tooLong.c_str(), group.c_str(),
                                             SpecialFolder::kStartMenu),
            ShellResult::kPathTooLong);
  EXPECT_TRUE(FileExists(made));
  EXPECT_EQ(sc_->DeleteUserStartMenuShortcut("", fits.c_str(), group.c_str(),
                                             SpecialFolder::kStartMenu),
            kOk);
  EXPECT_FALSE(FileExists(made));
  EXPECT_FALSE(FolderExists(folder + "\\G"));
}

TEST_F(ShortCutTest, DesktopLinkBeyondTheBufferIsSkipped) {
  const std::size_t fixed = Desktop().size() + 1 + 4;
  sc_->LinkName = std::string(260 - fixed, 'n');
  sc_->CreateShortCutDesktop("");
  EXPECT_EQ(shell_->saves, 0);
  EXPECT_TRUE(plat::RealFileSystem().ListDirectory(Desktop()).empty());

  sc_->LinkName.pop_back();
  sc_->CreateShortCutDesktop("");
  EXPECT_TRUE(FileExists(Desktop() + "\\" + sc_->LinkName + ".lnk"));
  sc_->DeleteShortCutDesktop("");
  EXPECT_TRUE(plat::RealFileSystem().ListDirectory(Desktop()).empty());
}

TEST_F(ShortCutTest, VeryLongNamesNeverOverrun) {
  const std::string huge(5000, 'x');
  sc_->ExeName = huge;
  sc_->GruppoProgrammiName = huge;
  sc_->LinkName = huge;
  sc_->FilePathName = "c:\\" + huge;
  sc_->CreateLink();
  sc_->RemoveLink();
  EXPECT_EQ(shell_->saves, 0);
}

}  // namespace
}  // namespace shelltest
