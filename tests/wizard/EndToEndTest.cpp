// A user's whole way through the native installer with the payload shaped like the shipped
// one: walking the pages, choosing the folder with "Cambia", installing, closing; then a second
// start that shows the recorded card and uninstalls.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "InstallFixture.h"
#include "platform/Shell.h"
#include "shell/ShortCut.h"
#include "tools/synthetic/SyntheticPayload.h"
#include "wizard/FileRouting.h"
#include "wizard/Unit2.h"

namespace wizardtest {
namespace {

class EndToEndTest : public InstallTest {};

TEST_F(EndToEndTest, InstallTheShippedShapeThenUninstallItOnTheNextStart) {
  WriteInstaller(InstallerPath(), synthetic::PayloadOptions().title, synthetic::Members());
  online_ = true;
  auto& w = StartWizard();
  Tick();
  ASSERT_TRUE(gui_.Click(*w.Button2));
  ASSERT_EQ(w.Notebook1->PageIndex(), 1);
  ASSERT_TRUE(gui_.Type(*w.Edit1, "Bianchi"));
  ASSERT_TRUE(gui_.Type(*w.Edit2, "Luca"));
  ASSERT_TRUE(gui_.Type(*w.Edit7, "Corso Italia 5"));
  ASSERT_TRUE(gui_.Type(*w.Edit3, "Forl\xEC"));
  ASSERT_TRUE(gui_.Type(*w.Edit4, "FC"));
  ASSERT_TRUE(gui_.Type(*w.Edit5, "37"));
  ASSERT_TRUE(gui_.Type(*w.Edit6, "347 7654321"));
  ASSERT_TRUE(gui_.Click(*w.CheckBox1));
  // The card's mail has its own tests; here the card only has to be filled in.
  w.Notebook1->SetPageIndex(2);
  gui_.OnModal = [&](gui::TForm& f) {
    auto& chooser = dynamic_cast<wizard::TForm2&>(f);
    ASSERT_TRUE(gui_.Type(*chooser.Edit1, Dest()));
    gui_.Click(*chooser.Button1);
  };
  ASSERT_TRUE(gui_.Click(*w.Button5));
  ASSERT_EQ(w.LabelDir->Caption(), Dest());
  ASSERT_TRUE(gui_.Click(*w.Button4));
  ASSERT_TRUE(gui_.Click(*w.Button6));
  ASSERT_TRUE(gui_.Click(*w.Button1));
  ASSERT_EQ(w.Notebook1->PageIndex(), kInstallPage);
  ASSERT_TRUE(PressInstall());

  ASSERT_EQ(BoxesTitled(wizard::kInstallDoneTitle), 1);
  EXPECT_EQ(ExceptionBoxes(), 0);
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(w.ProgressBar1->Position(), 100);

  // Every file where its type sends it, whole, with its stored last-write time.
  const auto& files = synthetic::ShippedFiles();
  int inRtf = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string name = plat::ExtractFileName(files[i].relativePath);
    const std::string sub = wizard::SubfolderFor(wizard::RoutingExtension(files[i].StoredName()));
    const std::string target = sub.empty() ? InDest(name) : InDest(sub + "\\" + name);
    inRtf += sub == "ModelliRTF";
    const std::vector<std::uint8_t> expected = synthetic::Content(i);
    const std::string actual = testsupport::ReadWholeFile(target);
    EXPECT_TRUE(actual.size() == expected.size() &&
                std::equal(expected.begin(), expected.end(), actual.begin(),
                           [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }))
        << target;
    EXPECT_EQ(static_cast<std::uint32_t>(plat::RealFileSystem().FileAge(target)),
              files[i].dosDateTime)
        << target;
  }
  EXPECT_EQ(inRtf, 10);
  EXPECT_TRUE(IsFile(InDest("lumidesk.exe")));
  EXPECT_TRUE(IsFile(InDest("lumidesk.hlp")));
  EXPECT_TRUE(IsFolder(InDest("Modelli")));
  EXPECT_TRUE(plat::RealFileSystem().ListDirectory(InDest("Modelli")).empty());

  // The three links to the installed program.
  struct LinkCase {
    std::string path;
    std::string description;
  } links[] = {{StartMenuLink(), "Lumidesk.exe"},
               {ProgramsLink(), "Lumidesk.exe"},
               {DesktopLink(), "Falc@ro"}};
  for (const LinkCase& l : links) {
    plat::LinkInfo info;
    ASSERT_TRUE(plat::SystemShell().ReadLink(l.path, info)) << l.path;
    EXPECT_EQ(info.target, InDest("lumidesk.exe")) << l.path;
    EXPECT_EQ(info.description, l.description) << l.path;
  }
  EXPECT_EQ(w.MyShortCut1->IconPathName, InDest("search.ico"));

  // The ten values.
  EXPECT_EQ(RecordValue("RootDir"), InDest("Zentaro.exe"));
  EXPECT_EQ(RecordValue("version"), "3.0.0.3");
  EXPECT_EQ(RecordValue("Cognome"), "Bianchi");
  EXPECT_EQ(RecordValue("Nome"), "Luca");
  EXPECT_EQ(RecordValue("Indirizzo"), "Corso Italia 5");
  EXPECT_EQ(RecordValue("Citta"), "Forl\xEC");
  EXPECT_EQ(RecordValue("Prov"), "FC");
  EXPECT_EQ(RecordValue("Eta"), "37");
  EXPECT_EQ(RecordValue("Tel"), "347 7654321");
  EXPECT_EQ(RecordValue("Maschio"), "True");

  // The next start: the card as recorded, the uninstall button usable.
  delete form_;
  gui_.ClearBoxes();
  auto& again = StartWizard();
  EXPECT_EQ(again.Edit1->Text(), "Bianchi");
  EXPECT_EQ(again.Edit3->Text(), "Forl\xEC");
  EXPECT_TRUE(again.CheckBox1->Checked());
  ASSERT_TRUE(again.Button14->Enabled());
  ASSERT_TRUE(gui_.Click(*again.Button14));
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].text, "Zentaro \xE8 stato disinstallato");
  for (const LinkCase& l : links) EXPECT_FALSE(IsFile(l.path)) << l.path;
  EXPECT_FALSE(RecordExists());
  // Only the listed program file goes ("Lumidesk.EXE" in the list is the installed
  // "lumidesk.exe", names being found whatever their case); the templates and the help file stay.
  EXPECT_FALSE(IsFile(InDest("lumidesk.exe")));
  EXPECT_TRUE(IsFile(InDest("lumidesk.hlp")));
  EXPECT_TRUE(IsFile(InDest("ModelliRTF\\fattura.rvf")));
  EXPECT_EQ(again.ProgressBar2->Position(), 10);
  ASSERT_TRUE(gui_.ClickCloseBox(again));
  EXPECT_FALSE(RecordExists());
}

}  // namespace
}  // namespace wizardtest
