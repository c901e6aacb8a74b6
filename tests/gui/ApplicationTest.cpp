// The application object with the headless back end: form creation and closing, modal runs,
// the exception display and the routing of message boxes and message pumping.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"
#include "platform/gui/Application.h"
#include "platform/gui/ExtControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/HeadlessBackend.h"
#include "platform/gui/StdControls.h"

namespace gui {
namespace {

// A small form: a button on a panel and a second button straight on the form.
class SmallForm : public TForm {
 public:
  explicit SmallForm(TComponent* owner) : TForm(owner) {
    SetName("SmallForm");
    panel = new TPanel(this);
    panel->SetParent(this);
    inner = new TButton(this);
    inner->SetParent(panel);
    outer = new TButton(this);
    outer->SetParent(this);
    ++alive;
  }
  ~SmallForm() override { --alive; }
  TPanel* panel;
  TButton* inner;
  TButton* outer;
  static int alive;
};
int SmallForm::alive = 0;

class ThrowingCreateForm : public SmallForm {
 public:
  explicit ThrowingCreateForm(TComponent* owner) : SmallForm(owner) {
    OnCreate = [](TComponent*) { throw plat::Error("creation failed"); };
  }
};

class ApplicationTest : public ::testing::Test {
 protected:
  HeadlessBackend gui_;
  TApplication app_{gui_};
};

TEST_F(ApplicationTest, FirstCreatedFormIsTheMainFormAndRunShowsIt) {
  auto* main = app_.CreateForm<SmallForm>();
  auto* second = app_.CreateForm<SmallForm>();
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

TEST_F(ApplicationTest, ClickRunsOnlyOnShowingEnabledControls) {
  auto* form = app_.CreateForm<SmallForm>();
  int clicks = 0;
  form->inner->OnClick = [&](TComponent* sender) {
    EXPECT_EQ(sender, form->inner);
    ++clicks;
  };
  EXPECT_FALSE(gui_.Click(*form->inner));  // form not shown yet
  form->Show();
  EXPECT_TRUE(gui_.Click(*form->inner));
  form->panel->SetEnabled(false);
  EXPECT_FALSE(gui_.Click(*form->inner));
  form->panel->SetEnabled(true);
  form->panel->Hide();
  EXPECT_FALSE(gui_.Click(*form->inner));
  form->panel->Show();
  form->inner->SetEnabled(false);
  EXPECT_FALSE(gui_.Click(*form->inner));
  EXPECT_EQ(clicks, 1);
  form->inner->Click();  // a program's click ignores the state
  EXPECT_EQ(clicks, 2);
}

TEST_F(ApplicationTest, ExceptionLeavingAHandlerIsShownAndTheProgramGoesOn) {
  auto* form = app_.CreateForm<SmallForm>();
  form->Show();
  form->outer->OnClick = [](TComponent*) { throw plat::Error("Impossibile creare"); };
  form->inner->OnClick = [](TComponent*) { throw std::runtime_error("plain"); };
  EXPECT_TRUE(gui_.Click(*form->outer));
  EXPECT_TRUE(gui_.Click(*form->inner));
  ASSERT_EQ(gui_.Boxes().size(), 2u);
  EXPECT_EQ(gui_.Boxes()[0].text, "Impossibile creare");
  EXPECT_EQ(gui_.Boxes()[0].title, app_.Title());
  EXPECT_EQ(gui_.Boxes()[0].flags, plat::mb::kOk | plat::mb::kIconError);
  EXPECT_EQ(gui_.Boxes()[1].text, "plain");
  form->outer->OnClick = [](TComponent*) { throw plat::SilentAbort(); };
  EXPECT_TRUE(gui_.Click(*form->outer));
  EXPECT_EQ(gui_.Boxes().size(), 2u);
}

TEST_F(ApplicationTest, ErrorInOnCreateIsShownAndTheFormStillExists) {
  auto* form = app_.CreateForm<ThrowingCreateForm>();
  ASSERT_NE(form, nullptr);
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].text, "creation failed");
  EXPECT_EQ(app_.MainForm(), form);
}

TEST_F(ApplicationTest, ClosingTheMainFormEndsTheApplicationUnlessTheActionIsNone) {
  auto* form = app_.CreateForm<SmallForm>();
  form->Show();
  TCloseAction chosen = TCloseAction::caNone;
  form->OnClose = [&](TComponent*, TCloseAction& a) { a = chosen; };
  EXPECT_TRUE(gui_.ClickCloseBox(*form));
  EXPECT_FALSE(app_.Terminated());
  chosen = TCloseAction::caFree;
  EXPECT_TRUE(gui_.ClickCloseBox(*form));
  EXPECT_TRUE(app_.Terminated());
  EXPECT_EQ(form->LastCloseAction(), TCloseAction::caFree);
}

TEST_F(ApplicationTest, ErrorInOnCloseAbandonsTheClose) {
  auto* form = app_.CreateForm<SmallForm>();
  form->Show();
  form->OnClose = [](TComponent*, TCloseAction&) { throw plat::Error("Failed to set data for 'RootDir'"); };
  gui_.ClickCloseBox(*form);
  EXPECT_FALSE(app_.Terminated());
  EXPECT_TRUE(form->Visible());
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].text, "Failed to set data for 'RootDir'");
}

TEST_F(ApplicationTest, FreedSecondaryFormGoesOnlyAfterItsHandlerReturns) {
  app_.CreateForm<SmallForm>();
  auto* other = app_.CreateForm<SmallForm>();
  other->Show();
  ASSERT_EQ(SmallForm::alive, 2);
  other->OnClose = [](TComponent*, TCloseAction& a) { a = TCloseAction::caFree; };
  other->outer->OnClick = [&](TComponent*) {
    other->Close();
    EXPECT_EQ(SmallForm::alive, 2);  // still usable inside the handler
  };
  gui_.Click(*other->outer);
  EXPECT_EQ(SmallForm::alive, 1);
  EXPECT_FALSE(app_.Terminated());
}

TEST_F(ApplicationTest, ShowModalReturnsTheButtonsResultOrCancelForTheCloseBox) {
  auto* dialog = Create<SmallForm>(&app_);
  dialog->inner->SetModalResult(mrOk);
  int closes = 0;
  dialog->OnClose = [&](TComponent*, TCloseAction&) { ++closes; };
  gui_.OnModal = [&](TForm& f) {
    EXPECT_EQ(&f, dialog);
    EXPECT_TRUE(f.Modal());
    gui_.Click(*dialog->outer);  // no modal result: stays open
    EXPECT_EQ(f.ModalResult(), mrNone);
    gui_.Click(*dialog->inner);
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(dialog->Visible());
  gui_.OnModal = [](TForm&) {};  // the user uses the close box
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(closes, 2);
  EXPECT_EQ(gui_.ModalForms().size(), 2u);
  delete dialog;
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
