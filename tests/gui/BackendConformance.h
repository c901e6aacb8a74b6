// The GUI back end contract, one suite for every back end: what the user's clicks, typing and
// close box reach, what an exception leaving a handler shows, closing and modal forms, notebook
// pages, what is shown after the program changes a control, and timer ticks. A back end's test
// instantiates it with a harness that acts as the user and reads what is shown:
//   INSTANTIATE_TYPED_TEST_SUITE_P(Headless, BackendConformance, HeadlessHarness);
// (tests/gui/HeadlessTest.cpp; tests/e2e/Win32BackendTest.cpp under Wine). A harness has:
//   gui::TApplication& App();
//   void Click(gui::TControl&);   the user clicks the control, whatever its state: whether the
//                                 click is taken is the back end's to decide
//   void Type(gui::TEdit&, const std::string&);  the user types into a showing, enabled edit
//   void CloseBox(gui::TForm&);   the user presses the form's close box
//   void DuringModal(std::function<void()> user);  the user's actions in the next modal form
//   ControlPicture Picture(const gui::TControl&);  what is shown of the control
//   bool Shows(const gui::TControl&);  the control can be seen (it, its parents and its form)
//   std::vector<ShownBox> Boxes();  the message boxes shown so far
//   void Pass(unsigned ms);       time passes, the message loop running (at least once)
//   bool WaitUntil(const std::function<bool()>& done, unsigned maxMs);
// The file holds test definitions, so it is included only where a suite is instantiated.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "WindowPicture.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/gui/Application.h"
#include "platform/gui/ExtControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/StdControls.h"

namespace guitest {

struct ShownBox {
  std::string text;
  std::string title;
  unsigned flags;
};

// A form with a panel holding a button, and a second button straight on the form.
class SmallForm : public gui::TForm {
 public:
  explicit SmallForm(gui::TComponent* owner) : TForm(owner) {
    SetName("SmallForm");
    SetClientSize(300, 240);
    panel = Place<gui::TPanel>(this, "Panel", 0, 0, 100, 40);
    inner = Place<gui::TButton>(panel, "Inner", 5, 5, 75, 25);
    outer = Place<gui::TButton>(this, "Outer", 110, 5, 75, 25);
    ++alive;
  }
  ~SmallForm() override { --alive; }

  // A new control of this form inside parent.
  template <class T>
  T* Place(gui::TControl* parent, const char* name, int left, int top, int width, int height,
           const std::string& caption = "") {
    T* c = gui::Create<T>(this);
    c->SetParent(parent);
    c->SetName(name);
    c->SetBounds(left, top, width, height);
    c->SetCaption(caption);
    return c;
  }

  gui::TPanel* panel;
  gui::TButton* inner;
  gui::TButton* outer;
  inline static int alive = 0;
};

template <class Harness>
class BackendConformance : public ::testing::Test {
 protected:
  // The first form made is the application's main form.
  SmallForm& NewForm() { return *h_.App().template CreateForm<SmallForm>(); }
  std::unique_ptr<gui::TimerSink> NewSink(gui::TickHandler onTick) {
    return h_.App().Backend().CreateTimerSink(std::move(onTick));
  }

  Harness h_;
};

TYPED_TEST_SUITE_P(BackendConformance);

TYPED_TEST_P(BackendConformance, ClickRunsOnlyOnShowingEnabledControls) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  int clicks = 0;
  form.inner->OnClick = [&](gui::TComponent* sender) {
    EXPECT_EQ(sender, form.inner);
    ++clicks;
  };
  h.Click(*form.inner);
  EXPECT_EQ(clicks, 0) << "the form was never shown";
  // Each from a shown form with all its controls visible and enabled.
  const struct {
    const char* what;
    void (*set)(SmallForm&);
    int clicks;
  } situations[] = {
      {"everything shown and enabled", [](SmallForm&) {}, 1},
      {"the form hidden", [](SmallForm& f) { f.HideForm(); }, 0},
      {"the parent disabled", [](SmallForm& f) { f.panel->SetEnabled(false); }, 0},
      {"the parent hidden", [](SmallForm& f) { f.panel->Hide(); }, 0},
      {"the control disabled", [](SmallForm& f) { f.inner->SetEnabled(false); }, 0},
      {"the control hidden", [](SmallForm& f) { f.inner->Hide(); }, 0},
  };
  for (const auto& s : situations) {
    form.Show();
    for (gui::TControl* c : std::initializer_list<gui::TControl*>{form.panel, form.inner}) {
      c->Show();
      c->SetEnabled(true);
    }
    s.set(form);
    clicks = 0;
    h.Click(*form.inner);
    EXPECT_EQ(clicks, s.clicks) << s.what;
  }
  clicks = 0;
  form.inner->Click();  // a program's click ignores the state
  EXPECT_EQ(clicks, 1);
}

// Every kind the user clicks: disabled, the click does nothing; enabled, the kind's own effect
// (a check box toggles, a radio button selects itself) comes before OnClick.
TYPED_TEST_P(BackendConformance, ClicksReachOnlyEnabledControls) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  const struct {
    gui::TControl* control;
    std::optional<bool> checkedAfterOne, checkedAfterTwo;
  } cases[] = {
      {form.Place<gui::TButton>(&form, "Button", 10, 60, 75, 25, "Go"), {}, {}},
      {form.Place<gui::TLabel>(&form, "Label", 10, 90, 75, 14, "Link"), {}, {}},
      {form.Place<gui::TCheckBox>(&form, "CheckBox", 10, 110, 75, 17, "Option"), true, false},
      {form.Place<gui::TRadioButton>(&form, "RadioButton", 10, 130, 75, 17, "Choice"), true, true},
      {form.Place<gui::TImage>(&form, "Image", 10, 150, 20, 20), {}, {}},
      {form.panel, {}, {}},
  };
  form.Show();
  for (const auto& c : cases) {
    const std::string name = c.control->Name();
    int clicks = 0;
    c.control->OnClick = [&](gui::TComponent* sender) {
      EXPECT_EQ(sender, c.control) << name;
      if (c.checkedAfterOne) {  // the effect comes first
        EXPECT_TRUE(static_cast<gui::TCheckBox*>(c.control)->Checked()) << name;
      }
      ++clicks;
    };
    c.control->SetEnabled(false);
    h.Click(*c.control);
    EXPECT_EQ(clicks, 0) << name << " disabled";
    EXPECT_EQ(h.Picture(*c.control).checked, c.checkedAfterOne ? std::optional<bool>(false)
                                                               : std::nullopt)
        << name << " disabled";
    c.control->SetEnabled(true);
    h.Click(*c.control);
    EXPECT_EQ(clicks, 1) << name;
    EXPECT_EQ(h.Picture(*c.control).checked, c.checkedAfterOne) << name;
    c.control->OnClick = nullptr;
    h.Click(*c.control);
    EXPECT_EQ(h.Picture(*c.control).checked, c.checkedAfterTwo) << name << " clicked again";
  }
}

// What a handler throws, and what the user is shown of it.
TYPED_TEST_P(BackendConformance, ExceptionLeavingAHandlerIsShownAndTheProgramGoesOn) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  form.Show();
  const struct {
    const char* what;
    void (*raise)();
    const char* box;  // null: none
  } cases[] = {
      {"our error", [] { throw plat::Error("cannot create the folder"); },
       "cannot create the folder"},
      {"a standard exception", [] { throw std::runtime_error("plain"); }, "plain"},
      {"a silent abort", [] { throw plat::SilentAbort(); }, nullptr},
  };
  for (const auto& c : cases) {
    const std::size_t before = h.Boxes().size();
    form.outer->OnClick = [&c](gui::TComponent*) { c.raise(); };
    h.Click(*form.outer);
    const auto boxes = h.Boxes();
    ASSERT_EQ(boxes.size(), before + (c.box ? 1 : 0)) << c.what;
    if (!c.box) continue;
    EXPECT_EQ(boxes.back().text, c.box) << c.what;
    EXPECT_EQ(boxes.back().title, h.App().Title()) << c.what;
    EXPECT_EQ(boxes.back().flags, plat::mb::kOk | plat::mb::kIconError) << c.what;
  }
  int clicks = 0;
  form.outer->OnClick = [&](gui::TComponent*) { ++clicks; };
  h.Click(*form.outer);
  EXPECT_EQ(clicks, 1);
}

// Wherever the user's action ran the handler: each failure is shown, and the same action works
// again.
TYPED_TEST_P(BackendConformance, AnExceptionInAHandlerGoesToTheDisplayAndTheProgramGoesOn) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  auto* button = form.Place<gui::TButton>(&form, "Button", 10, 60, 75, 25, "Go");
  auto* label = form.Place<gui::TLabel>(&form, "Label", 10, 90, 75, 14, "Link");
  auto* box = form.Place<gui::TCheckBox>(&form, "CheckBox", 10, 110, 75, 17, "Option");
  auto* edit = form.Place<gui::TEdit>(&form, "Edit", 10, 130, 100, 20);
  auto failIn = [](const std::string& where) {
    return [where](gui::TComponent*) { throw std::runtime_error("failed in " + where); };
  };
  for (gui::TControl* c : std::initializer_list<gui::TControl*>{button, label, box})
    c->OnClick = failIn(c->Name());
  edit->OnChange = failIn("Edit");
  form.Show();
  const struct {
    const char* where;
    std::function<void(int)> act;
  } actions[] = {
      {"Button", [&](int) { h.Click(*button); }},
      {"Label", [&](int) { h.Click(*label); }},
      {"CheckBox", [&](int) { h.Click(*box); }},
      {"Edit", [&](int i) { h.Type(*edit, "text " + std::to_string(i)); }},
  };
  for (const auto& a : actions) {
    for (int i = 0; i < 2; ++i) {
      const std::size_t before = h.Boxes().size();
      a.act(i);
      const auto boxes = h.Boxes();
      ASSERT_EQ(boxes.size(), before + 1) << a.where << " #" << i + 1;
      EXPECT_EQ(boxes.back().text, std::string("failed in ") + a.where);
    }
  }
}

TYPED_TEST_P(BackendConformance, ClosingTheMainFormEndsTheApplicationUnlessTheActionIsNone) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  form.Show();
  gui::TCloseAction chosen = gui::TCloseAction::caNone;
  form.OnClose = [&](gui::TComponent*, gui::TCloseAction& a) { a = chosen; };
  h.CloseBox(form);
  EXPECT_FALSE(h.App().Terminated());
  EXPECT_TRUE(h.Shows(form));
  chosen = gui::TCloseAction::caFree;
  h.CloseBox(form);
  EXPECT_TRUE(h.App().Terminated());
  EXPECT_EQ(form.LastCloseAction(), gui::TCloseAction::caFree);
}

TYPED_TEST_P(BackendConformance, ErrorInOnCloseAbandonsTheClose) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  form.Show();
  form.OnClose = [](gui::TComponent*, gui::TCloseAction&) {
    throw plat::Error("Failed to set data for 'RootDir'");
  };
  h.CloseBox(form);
  EXPECT_FALSE(h.App().Terminated());
  EXPECT_TRUE(h.Shows(form));
  const auto boxes = h.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Failed to set data for 'RootDir'");
}

TYPED_TEST_P(BackendConformance, FreedSecondaryFormGoesOnlyAfterItsHandlerReturns) {
  auto& h = this->h_;
  this->NewForm();
  SmallForm& other = this->NewForm();
  other.Show();
  ASSERT_EQ(SmallForm::alive, 2);
  other.OnClose = [](gui::TComponent*, gui::TCloseAction& a) { a = gui::TCloseAction::caFree; };
  other.outer->OnClick = [&](gui::TComponent*) {
    other.Close();
    EXPECT_EQ(SmallForm::alive, 2);  // still usable inside the handler
  };
  h.Click(*other.outer);
  EXPECT_EQ(SmallForm::alive, 1);
  EXPECT_FALSE(h.App().Terminated());
}

TYPED_TEST_P(BackendConformance, ShowModalReturnsTheButtonsResultOrCancelForTheCloseBox) {
  auto& h = this->h_;
  this->NewForm().Show();
  auto* dialog = gui::Create<SmallForm>(&h.App());
  dialog->inner->SetModalResult(gui::mrOk);
  int closes = 0;
  dialog->OnClose = [&](gui::TComponent*, gui::TCloseAction&) { ++closes; };
  h.DuringModal([&] {
    EXPECT_TRUE(dialog->Modal());
    EXPECT_TRUE(h.Shows(*dialog));
    h.Click(*dialog->outer);  // no modal result: the dialog stays
    EXPECT_EQ(dialog->ModalResult(), gui::mrNone);
    h.Click(*dialog->inner);
  });
  EXPECT_EQ(dialog->ShowModal(), gui::mrOk);
  EXPECT_FALSE(h.Shows(*dialog));
  h.DuringModal([&] { h.CloseBox(*dialog); });
  EXPECT_EQ(dialog->ShowModal(), gui::mrCancel);
  EXPECT_EQ(closes, 2);
  delete dialog;
}

TYPED_TEST_P(BackendConformance, OnlyTheActivePageOfANotebookShows) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  auto* book = form.Place<gui::TNotebook>(&form, "Notebook", 0, 50, 300, 150);
  gui::TPage* pages[3];
  for (int i = 0; i < 3; ++i) {
    pages[i] = book->AddPage("p" + std::to_string(i));
    pages[i]->SetName(pages[i]->Caption());
  }
  auto* onSecond = form.Place<gui::TButton>(pages[1], "OnSecond", 5, 5, 75, 25, "Yes");
  form.Show();
  EXPECT_TRUE(h.Shows(*pages[0]));
  EXPECT_FALSE(h.Shows(*pages[1]));
  EXPECT_FALSE(h.Shows(*onSecond));
  book->SetPageIndex(1);
  EXPECT_FALSE(h.Shows(*pages[0]));
  EXPECT_TRUE(h.Shows(*pages[1]));
  EXPECT_FALSE(h.Shows(*pages[2]));
  EXPECT_TRUE(h.Shows(*onSecond));
  EXPECT_EQ(h.Picture(*book).page, 1);
  EXPECT_EQ(h.Picture(*onSecond).parent, "p1");
  book->SetPageIndex(3);  // no such page: nothing changes
  EXPECT_EQ(h.Picture(*book).page, 1);
}

TYPED_TEST_P(BackendConformance, TypingRaisesOnChangeButTheProgramsOwnTextDoesNot) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  auto* edit = form.Place<gui::TEdit>(&form, "Edit", 10, 60, 150, 20);
  std::vector<std::string> changes;
  edit->OnChange = [&](gui::TComponent*) { changes.push_back(edit->Text()); };
  form.Show();
  h.Type(*edit, "c:\\lumi");
  EXPECT_EQ(edit->Text(), "c:\\lumi");
  edit->SetText("c:\\other");
  EXPECT_EQ(h.Picture(*edit).caption, "c:\\other");
  EXPECT_EQ(changes, std::vector<std::string>{"c:\\lumi"});
}

// The program's changes of its controls, before the form is shown and after.
TYPED_TEST_P(BackendConformance, ChangesOfTheControlsReachWhatIsShown) {
  auto& h = this->h_;
  SmallForm& form = this->NewForm();
  auto* button = form.Place<gui::TButton>(&form, "Button", 10, 50, 75, 25, "&Next>>");
  auto* label = form.Place<gui::TLabel>(&form, "Label", 10, 80, 100, 14, "Caf\xE9");
  auto* memo = form.Place<gui::TMemo>(&form, "Memo", 10, 100, 200, 60, "line 1\r\nline 2\r\n");
  auto* check = form.Place<gui::TCheckBox>(&form, "CheckBox", 10, 165, 80, 17, "Option");
  auto* bar = form.Place<gui::TProgressBar>(&form, "ProgressBar", 10, 185, 100, 16);
  auto* status = form.Place<gui::TStatusBar>(&form, "StatusBar", 0, 222, 300, 18);
  memo->SetVerticalScrollBar(true);
  check->SetChecked(true);
  button->SetEnabled(false);
  form.Show();
  const struct {
    gui::TControl* control;
    const char* before;
    const char* after;
  } lines[] = {
      {button, "Button (button) in SmallForm at 10,50 75x25, visible, disabled \"&Next>>\"",
       "Button (button) in SmallForm at 10,50 75x25, visible, enabled \"&Next>>\""},
      {label, "Label (label) in SmallForm at 10,80 100x14, visible, enabled \"Caf\xE9\"",
       "Label (label) in SmallForm at 12,82 90x14, hidden, enabled \"Na\xEFve\""},
      {memo,
       "Memo (memo) in SmallForm at 10,100 200x60, visible, enabled, sunken edge, vertical scroll "
       "bar \"line 1<CR><LF>line 2<CR><LF>\"",
       "Memo (memo) in SmallForm at 10,100 200x60, visible, enabled, sunken edge, vertical scroll "
       "bar \"line 3<CR><LF>\""},
      {check,
       "CheckBox (check box) in SmallForm at 10,165 80x17, visible, enabled, checked \"Option\"",
       "CheckBox (check box) in SmallForm at 10,165 80x17, visible, enabled, unchecked \"Option\""},
      {bar,
       "ProgressBar (progress bar) in SmallForm at 10,185 100x16, visible, enabled, range 0..100, "
       "position 0 \"\"",
       "ProgressBar (progress bar) in SmallForm at 10,185 100x16, visible, enabled, range 0..50, "
       "position 40 \"\""},
      {status, "StatusBar (status bar) in SmallForm at 0,222 300x18, visible, enabled \"\"",
       "StatusBar (status bar) in SmallForm at 0,222 300x18, visible, enabled \"Connected\""},
  };
  for (const auto& l : lines) EXPECT_EQ(PictureLine(h.Picture(*l.control)), l.before);
  button->SetEnabled(true);
  label->SetCaption("Na\xEFve");
  label->SetBounds(12, 82, 90, 14);
  label->Hide();
  memo->SetText("line 3\r\n");
  check->SetChecked(false);
  bar->SetRange(0, 50);
  bar->SetPosition(40);
  status->SetCaption("Connected");
  for (const auto& l : lines) EXPECT_EQ(PictureLine(h.Picture(*l.control)), l.after);
}

TYPED_TEST_P(BackendConformance, TimerSinkTicksThroughTheMessageLoopUntilStopped) {
  auto& h = this->h_;
  std::vector<unsigned> ticks;
  auto sink = this->NewSink([&](unsigned id) { ticks.push_back(id); });
  ASSERT_TRUE(sink->Start(7, 10));
  ASSERT_TRUE(h.WaitUntil([&] { return ticks.size() >= 3; }, 3000));
  EXPECT_EQ(ticks, std::vector<unsigned>(ticks.size(), 7u));
  sink->Stop(7);
  h.Pass(0);
  const std::size_t after = ticks.size();
  h.Pass(60);
  EXPECT_EQ(ticks.size(), after);
}

TYPED_TEST_P(BackendConformance, StoppedTimersAndDestroyedSinksGetNoTicks) {
  auto& h = this->h_;
  std::vector<std::string> log;
  auto a = this->NewSink([&](unsigned) { log.push_back("a"); });
  auto b = this->NewSink([&](unsigned) { log.push_back("b"); });
  a->Start(1, 10);
  b->Start(1, 10);
  a->Stop(1);
  b.reset();
  // A tick may end its own sink.
  std::unique_ptr<gui::TimerSink> c;
  c = this->NewSink([&](unsigned) {
    log.push_back("c");
    c.reset();
  });
  c->Start(1, 10);
  h.Pass(100);
  EXPECT_EQ(log, std::vector<std::string>{"c"});
  EXPECT_EQ(c, nullptr);
}

TYPED_TEST_P(BackendConformance, ExceptionInATickIsShownAndTimersGoOn) {
  auto& h = this->h_;
  int ticks = 0;
  auto sink = this->NewSink([&](unsigned) {
    if (++ticks == 1) throw std::runtime_error("tick failed");
  });
  sink->Start(1, 10);
  ASSERT_TRUE(h.WaitUntil([&] { return ticks >= 3; }, 3000));
  const auto boxes = h.Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "tick failed");
}

REGISTER_TYPED_TEST_SUITE_P(BackendConformance, ClickRunsOnlyOnShowingEnabledControls,
                            ClicksReachOnlyEnabledControls,
                            ExceptionLeavingAHandlerIsShownAndTheProgramGoesOn,
                            AnExceptionInAHandlerGoesToTheDisplayAndTheProgramGoesOn,
                            ClosingTheMainFormEndsTheApplicationUnlessTheActionIsNone,
                            ErrorInOnCloseAbandonsTheClose,
                            FreedSecondaryFormGoesOnlyAfterItsHandlerReturns,
                            ShowModalReturnsTheButtonsResultOrCancelForTheCloseBox,
                            OnlyTheActivePageOfANotebookShows,
                            TypingRaisesOnChangeButTheProgramsOwnTextDoesNot,
                            ChangesOfTheControlsReachWhatIsShown,
                            TimerSinkTicksThroughTheMessageLoopUntilStopped,
                            StoppedTimersAndDestroyedSinksGetNoTicks,
                            ExceptionInATickIsShownAndTimersGoOn);

}  // namespace guitest
