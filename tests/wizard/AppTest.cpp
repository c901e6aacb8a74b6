// The installer's start: main window, loop, and an error escaping construction.
#include <gtest/gtest.h>

#include "WizardFixture.h"
#include "app/Installer.h"

namespace wizardtest {
namespace {

using AppTest = WizardTest;

TEST_F(AppTest, RunsTheWizardAsMainWindowAndReturnsZero) {
  UseDefaultInstaller();
  gui::HeadlessBackend gui;
  std::string caption;
  gui.OnRunLoop = [&](gui::TApplication& app) {
    ASSERT_NE(app.MainForm(), nullptr);
    caption = app.MainForm()->Caption();
    EXPECT_TRUE(app.MainForm()->Visible());
    gui.Click(*app.MainForm()->Find<gui::TButton>("Button3"));
    EXPECT_TRUE(app.Terminated());
  };
  EXPECT_EQ(app::RunInstaller(gui), 0);
  EXPECT_EQ(caption, "Installazione di Lumidesk Vers.3.0.0.3");
  EXPECT_TRUE(gui.Boxes().empty());
}

TEST_F(AppTest, ErrorEscapingConstructionIsShownThenZero) {
  UseDefaultInstaller();
  // A record value of another type makes the pre-fill fail.
  WriteRecord({{"Cognome", "Rossi"}});
  plat::RegKey key = 0;
  ASSERT_EQ(registry_.OpenKey(plat::kHKeyLocalMachine, "SOFTWARE\\NORTAVIA\\Zentaro", key), 0);
  const std::uint8_t dword[4] = {1, 0, 0, 0};
  registry_.SetValue(key, "Nome", plat::reg::kDword, dword, 4);
  registry_.CloseKey(key);

  gui::HeadlessBackend gui;
  bool looped = false;
  gui.OnRunLoop = [&](gui::TApplication&) { looped = true; };
  EXPECT_EQ(app::RunInstaller(gui), 0);
  EXPECT_FALSE(looped);
  ASSERT_EQ(gui.Boxes().size(), 1u);
  EXPECT_EQ(gui.Boxes()[0].text, "Invalid data type for 'Nome'");
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace wizardtest
