// The two windows' controls, texts and states against their golden picture
// (tests/wizard/golden/windows.txt; tests/gui/WizardPicture.h says how to write it again), which
// the Win32 back end's test holds its windows to as well; then what the picture does not show:
// the wizard's pages, tags, handlers, colours, fonts and non-visual components.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "WizardFixture.h"
#include "WizardPicture.h"
#include "platform/gui/ExtControls.h"
#include "wizard/Layouts.h"
#include "wizard/Unit2.h"

namespace wizardtest {
namespace {

using LayoutTextTest = WizardTest;

TEST_F(LayoutTextTest, WizardWindowHoldsEveryControlWithItsText) {
  guitest::ExpectGoldenPicture(guitest::WizardWindowsPicture(app_, guitest::ObjectPicture),
                               "Form1");
}

TEST_F(LayoutTextTest, FolderChooserHoldsEveryControlWithItsText) {
  guitest::ExpectGoldenPicture(guitest::WizardWindowsPicture(app_, guitest::ObjectPicture),
                               "Form2");
}

// The started wizard's notebook holds the table's pages, in the table's order.
TEST_F(LayoutTextTest, PagesInOrderWithTheirNames) {
  UseDefaultInstaller();
  auto& w = StartWizard();
  std::vector<std::string> names;
  for (const auto& row : wizard::Form1Layout())
    if (row.def.Kind() == gui::ControlKind::Page) names.push_back(row.def.name);
  ASSERT_EQ(names.size(), 6u);
  ASSERT_EQ(w.Notebook1->PageCount(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(w.Notebook1->Page(i)->Caption(), names[static_cast<std::size_t>(i)]);
    EXPECT_EQ(w.Notebook1->Page(i)->Color(), wizard::kPageColor);
  }
}

TEST_F(LayoutTextTest, TagsAndHandlersOfTheButtons) {
  using wizard::TForm1;
  using Handler = void (TForm1::*)(gui::TComponent*);
  const std::map<std::string, std::pair<int, Handler>> expected = {
      {"Button2", {1, &TForm1::Button2Click}},  {"Button3", {0, &TForm1::Button3Click}},
      {"Button14", {0, &TForm1::Deinstall}},    {"Button13", {0, &TForm1::Button2Click}},
      {"Button12", {2, &TForm1::SendMail}},     {"Indietro", {1, &TForm1::Button2Click}},
      {"Button5", {0, &TForm1::Button5Click}},  {"Button4", {3, &TForm1::Button2Click}},
      {"Button8", {0, &TForm1::Button8Click}},  {"Button7", {2, &TForm1::Button2Click}},
      {"Button6", {4, &TForm1::Button2Click}},  {"Button11", {3, &TForm1::Button2Click}},
      {"Button1", {5, &TForm1::Button2Click}},  {"Button10", {3, &TForm1::Button2Click}},
      {"Button9", {0, &TForm1::Button1Click}},  {"Image5", {0, &TForm1::Button14Click}},
  };
  std::size_t found = 0;
  for (const auto& row : wizard::Form1Layout()) {
    auto it = expected.find(row.def.name);
    if (it == expected.end()) continue;
    ++found;
    EXPECT_EQ(row.def.tag, it->second.first) << row.def.name;
    EXPECT_TRUE(row.handler == it->second.second) << row.def.name;
  }
  EXPECT_EQ(found, expected.size());
}

TEST_F(LayoutTextTest, WindowGeometryColoursAndFonts) {
  UseDefaultInstaller();
  auto& w = StartWizard();
  EXPECT_EQ(w.Position(), gui::TPosition::poScreenCenter);
  EXPECT_EQ(w.Font().Name, "MS Sans Serif");
  EXPECT_EQ(w.Font().Size, 8);
  const struct {
    const char* name;
    gui::TColor colour;
  } colours[] = {
      {"Panel2", gui::Rgb(0, 0, 96)},     {"Panel3", gui::Rgb(0, 128, 192)},
      {"Panel4", gui::Rgb(0, 128, 192)},  {"Panel5", gui::Rgb(0, 128, 192)},
      {"Panel10", gui::Rgb(0, 64, 128)},
  };
  for (const auto& c : colours)
    EXPECT_EQ(w.Find<gui::TControl>(c.name)->Color(), c.colour) << c.name;
  for (const char* box : {"Panel3", "Panel4", "Panel5"})
    EXPECT_EQ(w.Find<gui::TPanel>(box)->Outline(), gui::clWhite) << box;
  EXPECT_EQ(w.Image5->Cursor(), gui::crHandPoint);
  EXPECT_EQ(w.Find<gui::TControl>("Label16")->Cursor(), gui::crHandPoint);
  EXPECT_TRUE(w.Find<gui::TControl>("Label16")->Font().Underline);
  EXPECT_EQ(w.Label26->Font().Color, gui::clWhite);
  EXPECT_EQ(w.Find<gui::TImage>("Image1")->Picture().Width(), 200);
  EXPECT_EQ(w.Find<gui::TImage>("Image1")->Picture().Height(), 54);
  // The viewer prompt's picture, complete for whenever the panel shows it.
  EXPECT_EQ(w.Image5->Picture().Width(), 135);
  EXPECT_EQ(w.Image5->Picture().Height(), 38);
}

TEST_F(LayoutTextTest, NonVisualComponentsAsConfigured) {
  UseDefaultInstaller();
  auto& w = StartWizard();
  EXPECT_TRUE(w.INetDetector1->Enabled());
  EXPECT_EQ(w.INetDetector1->DispatchInterval(), 1000u);
  EXPECT_FALSE(w.INetDetector1->Online());
  EXPECT_EQ(w.BackupFile1->RestoreMode, archive::rmAll);
  EXPECT_FALSE(w.BackupFile1->RestoreFullPath);
  int tagged = 0;
  for (gui::TComponent* c : w.Components())
    if (c->Tag() == wizard::kShortCutTag) ++tagged;
  EXPECT_EQ(tagged, 1);
  EXPECT_NE(w.FindComponent("MyShortCut1"), nullptr);
}

}  // namespace
}  // namespace wizardtest
