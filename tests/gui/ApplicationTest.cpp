// The application object with the headless back end: the main form, the exception display of
// form creation, and the routing of message boxes, message pumping and the cursor. What every
// back end does with the user's actions is the conformance suite's (BackendConformance.h).
#include <gtest/gtest.h>

#include <string>

#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"
#include "platform/gui/Application.h"
#include "platform/gui/Form.h"
#include "platform/gui/HeadlessBackend.h"

namespace gui {
namespace {

class ThrowingCreateForm : public TForm {
 public:
  explicit ThrowingCreateForm(TComponent* owner) : TForm(owner) {
    OnCreate = [](TComponent*) { throw plat::Error("creation failed"); };
  }
};

class ApplicationTest : public ::testing::Test {
 protected:
  HeadlessBackend gui_;
  TApplication app_{gui_};
};

TEST_F(ApplicationTest, FirstCreatedFormIsTheMainFormAndRunShowsIt) {
  auto* main = app_.CreateForm<TForm>();
  auto* second = app_.CreateForm<TForm>();
  EXPECT_EQ(app_.MainForm(), main);
  EXPECT_NE(app_.MainForm(), second);
  bool looped = false;
  gui_.OnRunLoop = [&](TApplication&) {
    looped = true;
    EXPECT_TRUE(main->Visible());
  };
  app_.Run();
  EXPECT_TRUE(looped);
  EXPECT_GE(gui_.PaintCount(), 1);
}

TEST_F(ApplicationTest, ErrorInOnCreateIsShownAndTheFormStillExists) {
  auto* form = app_.CreateForm<ThrowingCreateForm>();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].text, "creation failed");
  EXPECT_EQ(app_.MainForm(), form);
}

TEST_F(ApplicationTest, PlatformBoxesAndPumpGoToTheApplicationWhileItLives) {
  gui_.QueueAnswer(plat::mb::kIdNo);
  EXPECT_EQ(plat::ShowMessageBox("Domanda", "Titolo", plat::mb::kYesNo), plat::mb::kIdNo);
  EXPECT_EQ(plat::ShowMessageBox("Info", "Titolo", plat::mb::kOk), plat::mb::kIdOk);
  EXPECT_EQ(plat::ShowMessageBox("Again", "Titolo", plat::mb::kYesNo), plat::mb::kIdYes);
  ASSERT_EQ(gui_.Boxes().size(), 3u);
  EXPECT_EQ(gui_.Boxes()[0].text, "Domanda");
  EXPECT_EQ(gui_.Boxes()[0].title, "Titolo");
  const int before = gui_.ProcessMessagesCalls();
  plat::ProcessMessages();
  EXPECT_EQ(gui_.ProcessMessagesCalls(), before + 1);
}

TEST(ApplicationRouting, LeavingRestoresThePreviousHandlers) {
  int outerBoxes = 0;
  auto previous = plat::SetMessageBoxHandler([&](const std::string&, const std::string&, unsigned) {
    ++outerBoxes;
    return 42;
  });
  {
    HeadlessBackend gui;
    TApplication app(gui);
    plat::ShowMessageBox("inside", "t", 0);
    EXPECT_EQ(gui.Boxes().size(), 1u);
  }
  EXPECT_EQ(plat::ShowMessageBox("outside", "t", 0), 42);
  EXPECT_EQ(outerBoxes, 1);
  plat::SetMessageBoxHandler(previous);
}

TEST_F(ApplicationTest, CursorGoesToTheBackEnd) {
  app_.SetCursor(crHourGlass);
  app_.SetCursor(crDefault);
  EXPECT_EQ(gui_.CursorHistory(), (std::vector<int>{crHourGlass, crDefault}));
  EXPECT_EQ(app_.Cursor(), crDefault);
}

}  // namespace
}  // namespace gui
