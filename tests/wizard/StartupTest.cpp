// Start-up of the wizard window: payload location, caption, system folder, the uninstall
// button, the pre-fill of the card, and every failure path.
#include <gtest/gtest.h>

#include "WizardFixture.h"
#include "tools/synthetic/SyntheticPayload.h"
#include "platform/Files.h"

namespace wizardtest {
namespace {

using StartupTest = WizardTest;

TEST_F(StartupTest, CaptionCarriesTheTitleOfTheShippedShapedPayload) {
  WriteInstaller(InstallerPath(), synthetic::PayloadOptions().title, synthetic::Members());
  auto& w = StartWizard();
  EXPECT_EQ(w.Caption(), "Installazione di Lumidesk Vers.3.0.0.3");
  EXPECT_EQ(w.VersionText(), "3.0.0.3");
  ASSERT_NE(w.Catalogue(), nullptr);
  EXPECT_EQ(w.Catalogue()->size(), 13u);
  EXPECT_EQ(w.PayloadOffset(), 4096u);  // the stub's size
  EXPECT_TRUE(gui_.Boxes().empty());
}

TEST_F(StartupTest, EmptyTitleLeavesTheCaptionEndingInVers) {
  WriteInstaller(InstallerPath(), "", {MemoryMember("c:\\a.txt", "a")});
  auto& w = StartWizard();
  EXPECT_EQ(w.Caption(), "Installazione di Lumidesk Vers.");
  EXPECT_TRUE(gui_.Boxes().empty());
  EXPECT_TRUE(w.PayloadAvailable());
}

TEST_F(StartupTest, TrailerPastTheEndIsNoStartUpError) {
  std::vector<std::uint8_t> bytes(100, 'x');
  bytes[0] = 'M';
  bytes[1] = 'Z';
  // Trailer 0x00088800, read little-endian: far beyond this 104-byte file.
  bytes.insert(bytes.end(), {0x00, 0x88, 0x08, 0x00});
  WriteRaw(InstallerPath(), bytes);
  WriteRecord();
  auto& w = StartWizard();
  EXPECT_EQ(w.PayloadOffset(), 0x00088800u);
  EXPECT_EQ(w.Caption(), "Installazione di Lumidesk Vers.");
  EXPECT_EQ(ExceptionBoxes(), 0);           // the reader reports its own failure, if at all
  EXPECT_FALSE(w.SystemFolder().empty());  // the steps after the reader ran
  EXPECT_TRUE(w.Button14->Enabled());
  EXPECT_TRUE(w.Catalogue()->empty());
}

TEST_F(StartupTest, UnreadableProgramFileIsShownAndInstallingIsRefused) {
  // No installer file at the program's path.
  WriteRecord();
  auto& w = StartWizard();
  EXPECT_EQ(ExceptionBoxes(), 1);
  EXPECT_TRUE(w.Visible());
  EXPECT_EQ(w.Caption(), "Installazione di Lumidesk");  // steps after the failure skipped
  EXPECT_TRUE(w.SystemFolder().empty());
  EXPECT_EQ(w.PayloadStream(), nullptr);
  EXPECT_FALSE(w.PayloadAvailable());
  EXPECT_FALSE(w.Button9->Enabled());
  // Going online re-enables the other forward buttons but not "Installa".
  online_ = true;
  Tick();
  EXPECT_TRUE(w.Button2->Enabled());
  EXPECT_FALSE(w.Button9->Enabled());
  w.Notebook1->SetPageIndex(5);
  EXPECT_FALSE(gui_.Click(*w.Button9));
}

TEST_F(StartupTest, UninstallButtonKeepsItsStateWhenStartUpFailsEarly) {
  // Without the record the probe would disable it; the failure skips the probe.
  auto& w = StartWizard();
  EXPECT_EQ(ExceptionBoxes(), 1);
  EXPECT_TRUE(w.Button14->Enabled());
}

TEST_F(StartupTest, FileTooShortForATrailerIsAReadError) {
  WriteRaw(InstallerPath(), {'M', 'Z'});
  auto& w = StartWizard();
  EXPECT_EQ(ExceptionBoxes(), 1);
  EXPECT_FALSE(w.PayloadAvailable());
  EXPECT_FALSE(w.Button9->Enabled());
  EXPECT_EQ(w.Caption(), "Installazione di Lumidesk");
}

TEST_F(StartupTest, UninstallButtonFollowsTheInstallRecordKey) {
  UseDefaultInstaller();
  {
    auto& w = StartWizard();
    EXPECT_FALSE(w.Button14->Enabled());
    EXPECT_TRUE(w.Button9->Enabled());
    delete form_;
  }
  WriteRecord();
  auto& w = StartWizard();
  EXPECT_TRUE(w.Button14->Enabled());
  EXPECT_EQ(w.SystemFolder(), plat::SystemDirectory());
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);  // the probe released the key
}

TEST_F(StartupTest, CardIsPrefilledFromTheInstallRecord) {
  UseDefaultInstaller();
  WriteRecord({{"Cognome", "Rossi"},
               {"Nome", "Maria"},
               {"Indirizzo", "Via Roma 1"},
               {"Citta", "Citt\xE0 di Castello"},
               {"Prov", "PG"},
               {"Eta", "42"},
               {"Tel", "333 1234567"},
               {"Maschio", "True"},
               {"RootDir", "c:\\x\\Zentaro.exe"}});
  auto& w = StartWizard();
  EXPECT_EQ(w.Edit1->Text(), "Rossi");
  EXPECT_EQ(w.Edit2->Text(), "Maria");
  EXPECT_EQ(w.Edit7->Text(), "Via Roma 1");
  EXPECT_EQ(w.Edit3->Text(), "Citt\xE0 di Castello");
  EXPECT_EQ(w.Edit4->Text(), "PG");
  EXPECT_EQ(w.Edit5->Text(), "42");
  EXPECT_EQ(w.Edit6->Text(), "333 1234567");
  EXPECT_TRUE(w.CheckBox1->Checked());
  EXPECT_FALSE(w.CheckBox2->Checked());
  EXPECT_EQ(w.LabelDir->Caption(), "c:\\programmi\\nortavia\\Lumidesk");  // RootDir not read
}

TEST_F(StartupTest, MaschioIsCheckedOnlyForExactlyTrue) {
  UseDefaultInstaller();
  for (const char* value : {"true", "TRUE", "True ", "1", ""}) {
    WriteRecord({{"Maschio", value}});
    auto& w = StartWizard();
    EXPECT_FALSE(w.CheckBox1->Checked()) << '"' << value << '"';
    delete form_;
  }
}

TEST_F(StartupTest, MissingRecordOrValuesLeaveTheCardEmpty) {
  UseDefaultInstaller();
  {
    auto& w = StartWizard();
    EXPECT_EQ(w.Edit1->Text(), "");
    EXPECT_FALSE(w.CheckBox1->Checked());
    delete form_;
  }
  WriteRecord({{"Nome", "Luca"}});
  auto& w = StartWizard();
  EXPECT_EQ(w.Edit1->Text(), "");
  EXPECT_EQ(w.Edit2->Text(), "Luca");
}

TEST_F(StartupTest, StartStateOfTheWindow) {
  UseDefaultInstaller();
  auto& w = StartWizard();
  EXPECT_EQ(w.Notebook1->PageIndex(), 0);
  EXPECT_FALSE(w.ProgressBar1->Visible());
  EXPECT_FALSE(w.Label26->Visible());
  EXPECT_FALSE(w.Label29->Visible());
  EXPECT_FALSE(w.Image5->Visible());
  EXPECT_TRUE(w.Panel10->Visible());
  EXPECT_TRUE(w.Label30->Visible());
  EXPECT_TRUE(w.Label31->Visible());
  EXPECT_EQ(w.StatusBar1->SimpleText(), "");
  EXPECT_TRUE(w.RadioButton1->Checked());
  EXPECT_FALSE(w.RadioButton2->Checked());
  for (gui::TButton* b : {w.Button2, w.Button4, w.Button1, w.Button9}) EXPECT_TRUE(b->Enabled());
  EXPECT_FALSE(w.InstallDone());
  EXPECT_FALSE(w.UninstallDone());
  EXPECT_EQ(w.ProgressBar1->Max(), 100);
  EXPECT_EQ(w.ProgressBar2->Max(), 10);
  EXPECT_EQ(app_.MainForm(), &w);
}

}  // namespace
}  // namespace wizardtest
