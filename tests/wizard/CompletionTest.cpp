// Closing the wizard: the install record after a successful run, nothing before a run or
// after an uninstall, and a record that cannot be written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallFixture.h"
#include "platform/MemoryRegistry.h"
#include "wizard/Services.h"

namespace wizardtest {
namespace {

class CompletionTest : public InstallTest {
 protected:
  wizard::TForm1& Open() {
    return OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "p"),
                              MemoryMember("c:\\src\\docs\\a.txt", "a")});
  }
  void FillCard(wizard::TForm1& w) {
    w.Edit1->SetText("Rossi");
    w.Edit2->SetText("Maria");
    w.Edit7->SetText(" Via Roma 1 ");  // kept as typed, blanks included
    w.Edit3->SetText("Citt\xE0 di Castello");
    w.Edit4->SetText("PG");
    w.Edit5->SetText("42");
    w.Edit6->SetText("333 1234567");
  }
  std::vector<std::string> RecordNames() const {
    return {"RootDir", "version", "Cognome", "Nome", "Indirizzo",
            "Citta",   "Prov",    "Eta",     "Tel",  "Maschio"};
  }
};

TEST_F(CompletionTest, ASuccessfulRunRecordsTheTenValuesInOrder) {
  ObservedRegistry observed(registry_);
  wizard::CurrentServices().registry = &observed;
  auto& w = Open();
  FillCard(w);
  w.CheckBox1->SetChecked(true);
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(observed.valuesSet, RecordNames());
  EXPECT_EQ(RecordValue("RootDir"), Dest() + "\\Zentaro.exe");
  EXPECT_EQ(RecordValue("version"), "3.0.0.3");
  EXPECT_EQ(RecordValue("Cognome"), "Rossi");
  EXPECT_EQ(RecordValue("Nome"), "Maria");
  EXPECT_EQ(RecordValue("Indirizzo"), " Via Roma 1 ");
  EXPECT_EQ(RecordValue("Citta"), "Citt\xE0 di Castello");
  EXPECT_EQ(RecordValue("Prov"), "PG");
  EXPECT_EQ(RecordValue("Eta"), "42");
  EXPECT_EQ(RecordValue("Tel"), "333 1234567");
  EXPECT_EQ(RecordValue("Maschio"), "True");
  // Written straight through: the key was flushed and every handle released.
  EXPECT_GE(registry_.FlushCount("HKEY_LOCAL_MACHINE\\SOFTWARE\\NORTAVIA\\Zentaro"), 1);
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
  wizard::CurrentServices().registry = nullptr;
}

TEST_F(CompletionTest, TheDefaultFolderIsRecordedWithTheFixedProgramName) {
  auto& w = Open();
  EXPECT_EQ(wizard::kDefaultDestination, std::string("c:\\programmi\\nortavia\\Lumidesk"));
  // The default folder on the scratch drive's c: stands for the real one.
  w.LabelDir->SetCaption(wizard::kDefaultDestination);
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(RecordValue("RootDir"), "c:\\programmi\\nortavia\\Lumidesk\\Zentaro.exe");
}

TEST_F(CompletionTest, OnlyFemminaCheckedRecordsFalseAndTheEmptyCardTextsStayEmpty) {
  auto& w = Open();
  w.CheckBox1->SetChecked(false);
  w.CheckBox2->SetChecked(true);
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(RecordValue("Maschio"), "False");
  int empty = 0;
  for (const std::string& name : RecordNames()) empty += RecordValue(name).empty();
  EXPECT_EQ(empty, 7);  // the seven card texts; Maschio holds "False"
  EXPECT_FALSE(RecordValue("RootDir").empty());
  EXPECT_FALSE(RecordValue("version").empty());
}

TEST_F(CompletionTest, AnEmptyCardAndAnEmptyTitleRecordEightEmptyTexts) {
  WriteInstaller(InstallerPath(), "", {MemoryMember("c:\\src\\Lumidesk.exe", "p")});
  online_ = true;
  auto& w = StartWizard();
  Tick();
  w.LabelDir->SetCaption(Dest());
  w.Notebook1->SetPageIndex(kInstallPage);
  ASSERT_TRUE(PressInstall());
  int empty = 0;
  for (const std::string& name : RecordNames()) empty += RecordValue(name).empty();
  EXPECT_EQ(empty, 8);  // version and the seven card texts; only RootDir and Maschio have text
  EXPECT_EQ(RecordValue("Maschio"), "False");
}

TEST_F(CompletionTest, ClosingWithoutInstallingWritesNothing) {
  auto& w = Open();
  w.Notebook1->SetPageIndex(kWelcomePage);
  ASSERT_TRUE(gui_.ClickCloseBox(w));
  EXPECT_EQ(w.LastCloseAction(), gui::TCloseAction::caFree);
  EXPECT_FALSE(RecordExists());
}

TEST_F(CompletionTest, AnUninstallAfterTheRunMeansNothingIsWrittenAtClosing) {
  WriteRecord({{"RootDir", Path("old\\Zentaro.exe")}});  // so the uninstall button is usable
  auto& w = Open();
  // The run's success closes the window; a close whose record fails keeps it open, so make
  // the first close fail and uninstall before the second.
  registry_.FailOn(plat::MemoryRegistry::Op::SetValue, "RootDir");
  ASSERT_TRUE(PressInstall());
  ASSERT_TRUE(w.InstallDone());
  EXPECT_FALSE(app_.Terminated());
  registry_.ClearFailures();
  w.Notebook1->SetPageIndex(kWelcomePage);
  ASSERT_TRUE(gui_.Click(*w.Button14));
  ASSERT_TRUE(w.UninstallDone());
  ASSERT_TRUE(gui_.ClickCloseBox(w));
  EXPECT_TRUE(app_.Terminated());
  EXPECT_FALSE(RecordExists());
}

TEST_F(CompletionTest, AnInstallationAfterAnUninstallInTheSameWindowIsRecorded) {
  WriteRecord({{"RootDir", Path("old\\Zentaro.exe")}});
  auto& w = Open();
  w.Notebook1->SetPageIndex(kWelcomePage);
  ASSERT_TRUE(gui_.Click(*w.Button14));
  EXPECT_FALSE(RecordExists());
  w.Notebook1->SetPageIndex(kInstallPage);
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(RecordValue("RootDir"), Dest() + "\\Zentaro.exe");
}

TEST_F(CompletionTest, ARecordThatCannotBeWrittenIsShownThenASecondCloseEndsTheInstaller) {
  auto& w = Open();
  // No rights under the machine root: the key cannot be created.
  registry_.FailOn(plat::MemoryRegistry::Op::CreateKey, "");
  ASSERT_TRUE(PressInstall());
  ASSERT_EQ(ExceptionBoxes(), 1);
  EXPECT_EQ(gui_.Boxes().back().text, "Failed to set data for 'RootDir'");
  EXPECT_FALSE(app_.Terminated());
  EXPECT_TRUE(w.Visible());
  // Nothing went to the root key instead.
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_FALSE(registry_.GetValue(plat::kHKeyLocalMachine, "", "RootDir", type, data));

  ASSERT_TRUE(gui_.ClickCloseBox(w));
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(w.LastCloseAction(), gui::TCloseAction::caFree);
  EXPECT_EQ(ExceptionBoxes(), 1);
  EXPECT_EQ(gui_.Boxes().back().text,
            "L'installazione non \xE8 stata registrata: non sar\xE0 possibile disinstallare "
            "Lumidesk da questo programma.");
  EXPECT_FALSE(RecordExists());
}

TEST_F(CompletionTest, ASecondCloseWritesTheRecordWhenItCanBeWrittenByThen) {
  auto& w = Open();
  registry_.FailOn(plat::MemoryRegistry::Op::SetValue, "Nome");
  ASSERT_TRUE(PressInstall());
  ASSERT_EQ(ExceptionBoxes(), 1);
  EXPECT_EQ(gui_.Boxes().back().text, "Failed to set data for 'Nome'");
  registry_.ClearFailures();
  ASSERT_TRUE(gui_.ClickCloseBox(w));
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(RecordValue("Maschio"), "False");
  EXPECT_EQ(RecordValue("RootDir"), Dest() + "\\Zentaro.exe");
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace wizardtest
