// The destination folder chooser opened by "Cambia".
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "WizardFixture.h"
#include "platform/Files.h"
#include "wizard/Unit2.h"

namespace wizardtest {
namespace {

class ChooserTest : public WizardTest {
 protected:
  void SetUp() override {
    UseDefaultInstaller();
    StartWizard();
    form_->Notebook1->SetPageIndex(2);
  }
  // Presses "Cambia" and runs the dialog with the given user actions.
  void Choose(const std::function<void(wizard::TForm2&)>& user) {
    gui_.OnModal = [&](gui::TForm& f) {
      auto& dialog = dynamic_cast<wizard::TForm2&>(f);
      EXPECT_EQ(dialog.Owner(), &app_);
      user(dialog);
    };
    ASSERT_TRUE(gui_.Click(*form_->Button5));
  }
  const std::string kDefault = "c:\\programmi\\nortavia\\Lumidesk";
};

TEST_F(ChooserTest, DialogStartsWithTheDestinationAndTheProcessFolder) {
  Choose([&](wizard::TForm2& d) {
    EXPECT_EQ(d.Caption(), "Seleziona percorso");
    EXPECT_EQ(d.Edit1->Text(), kDefault);
    EXPECT_EQ(d.DirectoryListBox1->Directory(), gui::ProcessCurrentFolder());
    EXPECT_FALSE(d.Button1->Default() || d.Button1->Cancel());
    EXPECT_FALSE(d.Button2->Default() || d.Button2->Cancel());
    gui_.Click(*d.Button2);
  });
  EXPECT_EQ(gui_.ModalForms(), (std::vector<std::string>{"Form2"}));
}

TEST_F(ChooserTest, AnnullaLeavesTheDestinationEvenAfterOpeningFolders) {
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(Path("a\\b")));
  Choose([&](wizard::TForm2& d) {
    d.DirectoryListBox1->SetDirectory(Base());
    d.DirectoryListBox1->UserOpenSubfolder("a");
    EXPECT_EQ(d.Edit1->Text(), Base() + "\\a");
    gui_.Click(*d.Button2);
  });
  EXPECT_EQ(form_->LabelDir->Caption(), kDefault);
}

TEST_F(ChooserTest, CloseBoxChangesNothing) {
  Choose([&](wizard::TForm2& d) { d.Edit1->SetText("x:\\altro"); });
  EXPECT_EQ(form_->LabelDir->Caption(), kDefault);
}

TEST_F(ChooserTest, ConfermaTakesAFolderOpenedFiveLevelsDeep) {
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(Path("uno\\due\\tre\\quattro\\cinque")));
  Choose([&](wizard::TForm2& d) {
    d.DirectoryListBox1->SetDirectory(Base());
    for (const char* level : {"uno", "due", "tre", "quattro", "cinque"})
      ASSERT_TRUE(d.DirectoryListBox1->UserOpenSubfolder(level)) << level;
    gui_.Click(*d.Button1);
  });
  EXPECT_EQ(form_->LabelDir->Caption(), Base() + "\\uno\\due\\tre\\quattro\\cinque");
}

TEST_F(ChooserTest, ConfermaTakesATypedPathExactly) {
  const std::string typed = "  d:\\Nuova cartella\\  ";
  Choose([&](wizard::TForm2& d) {
    ASSERT_TRUE(gui_.Type(*d.Edit1, typed));
    gui_.Click(*d.Button1);
  });
  EXPECT_EQ(form_->LabelDir->Caption(), typed);
}

TEST_F(ChooserTest, ConfermaWithAnEmptyFieldGivesAnEmptyDestination) {
  Choose([&](wizard::TForm2& d) {
    gui_.Type(*d.Edit1, "");
    gui_.Click(*d.Button1);
  });
  EXPECT_EQ(form_->LabelDir->Caption(), "");
}

TEST_F(ChooserTest, DriveChoiceMovesTheFolderListAndTheField) {
  if (!plat::RealFileSystem().ForceDirectories("d:\\")) GTEST_SKIP() << "no drive d:";
  Choose([&](wizard::TForm2& d) {
    const auto& drives = d.DriveComboBox1->Items();
    auto it = std::find(drives.begin(), drives.end(), "d:\\");
    ASSERT_NE(it, drives.end());
    d.DirectoryListBox1->SetDirectory(Base());
    ASSERT_TRUE(d.DriveComboBox1->UserSelect(static_cast<int>(it - drives.begin())));
    EXPECT_EQ(d.DirectoryListBox1->Directory(), "d:\\");
    EXPECT_EQ(d.Edit1->Text(), "d:\\");
    gui_.Click(*d.Button1);
  });
  EXPECT_EQ(form_->LabelDir->Caption(), "d:\\");
}

TEST_F(ChooserTest, EveryPressMakesANewDialogThatIsFreedAfterwards) {
  int dialogs = 0;
  for (int i = 0; i < 2; ++i) {
    Choose([&](wizard::TForm2& d) {
      ++dialogs;
      EXPECT_EQ(d.Edit1->Text(), i == 0 ? kDefault : std::string("e:\\x"));
      d.Edit1->SetText("e:\\x");
      gui_.Click(*d.Button1);
    });
  }
  EXPECT_EQ(dialogs, 2);
  // Only the wizard window is left among the application's components.
  EXPECT_EQ(app_.ComponentCount(), 1);
}

}  // namespace
}  // namespace wizardtest
