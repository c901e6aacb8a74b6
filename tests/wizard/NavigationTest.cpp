// Navigation by the buttons' Tags, closing, online gating of the forward buttons and the
// picture copies at paint time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WizardFixture.h"

namespace wizardtest {
namespace {

class NavigationTest : public WizardTest {
 protected:
  void SetUp() override {
    UseDefaultInstaller();
    StartWizard();
  }
  gui::TButton* Button(const std::string& name) { return form_->Find<gui::TButton>(name); }
  // The card's forward button moves on only with the required fields filled.
  void FillCard() {
    for (const wizard::CardField& f : wizard::kCardFields)
      if (f.required) form_->Find<gui::TEdit>(f.control)->SetText("x");
  }
};

struct Move {
  int from;
  const char* button;
  int to;
};

TEST_F(NavigationTest, EveryNavigationButtonShowsItsTargetPage) {
  FillCard();
  const Move moves[] = {
      {0, "Button2", 1},  {1, "Button13", 0}, {1, "Button12", 2}, {2, "Indietro", 1},
      {2, "Button4", 3},  {3, "Button7", 2},  {3, "Button6", 4},  {4, "Button11", 3},
      {4, "Button1", 5},  {5, "Button10", 3},
  };
  for (const Move& m : moves) {
    form_->Notebook1->SetPageIndex(m.from);
    ASSERT_NE(Button(m.button), nullptr) << m.button;
    EXPECT_TRUE(gui_.Click(*Button(m.button))) << m.button;
    EXPECT_EQ(form_->Notebook1->PageIndex(), m.to) << m.button << " from page " << m.from;
  }
}

TEST_F(NavigationTest, AUserWalksForwardToInstallAndBackToTheLicence) {
  FillCard();
  gui_.Click(*form_->Button2);
  gui_.Click(*form_->Button12);
  gui_.Click(*form_->Button4);
  gui_.Click(*form_->Button6);
  gui_.Click(*form_->Button1);
  EXPECT_EQ(form_->Notebook1->ActivePage(), "Quattro");
  gui_.Click(*form_->Button10);  // skips the information page
  EXPECT_EQ(form_->Notebook1->ActivePage(), "Tre");
}

TEST_F(NavigationTest, ButtonsOfHiddenPagesCannotBePressed) {
  EXPECT_FALSE(gui_.Click(*form_->Button6));
  EXPECT_FALSE(gui_.Click(*form_->Button10));
  EXPECT_EQ(form_->Notebook1->PageIndex(), 0);
}

TEST_F(NavigationTest, CloseButtonsAndCloseBoxFreeTheWindowAndEndTheProgram) {
  struct Way {
    const char* name;
    int page;
  };
  for (const Way& way : {Way{"Button3", 0}, Way{"Button8", 3}, Way{"close box", 0}}) {
    gui::HeadlessBackend gui;
    gui::TApplication app(gui);
    auto* w = app.CreateForm<wizard::TForm1>();
    w->Show();
    w->Notebook1->SetPageIndex(way.page);
    if (std::string(way.name) == "close box") gui.ClickCloseBox(*w);
    else gui.Click(*w->Find<gui::TButton>(way.name));
    EXPECT_TRUE(app.Terminated()) << way.name;
    EXPECT_EQ(w->LastCloseAction(), gui::TCloseAction::caFree) << way.name;
  }
}

TEST_F(NavigationTest, GoingOfflineAndOnlineGatesExactlyTheFourForwardButtons) {
  FillCard();
  gui::TButton* gated[] = {form_->Button2, form_->Button4, form_->Button1, form_->Button9};
  gui::TButton* free[] = {form_->Button3,  form_->Button14, form_->Button13, form_->Button12,
                          form_->Indietro, form_->Button5,  form_->Button8,  form_->Button7,
                          form_->Button6,  form_->Button11, form_->Button10};
  std::vector<bool> freeBefore;
  for (auto* b : free) freeBefore.push_back(b->Enabled());
  online_ = true;
  Tick();
  for (auto* b : gated) EXPECT_TRUE(b->Enabled()) << b->Name();
  EXPECT_EQ(form_->StatusBar1->SimpleText(), "Connessione attiva");

  online_ = false;
  Tick();
  for (auto* b : gated) EXPECT_FALSE(b->Enabled()) << b->Name();
  for (std::size_t i = 0; i < sizeof free / sizeof free[0]; ++i)
    EXPECT_EQ(free[i]->Enabled(), freeBefore[i]) << free[i]->Name();
  EXPECT_TRUE(form_->Button12->Enabled());
  EXPECT_TRUE(form_->Button6->Enabled());
  EXPECT_EQ(form_->StatusBar1->SimpleText(),
            "Per installare il programma dovete essere connessi a internet!");
  // Offline, the card's forward button and the licence's "Si" still work.
  form_->Notebook1->SetPageIndex(1);
  EXPECT_TRUE(gui_.Click(*form_->Button12));
  EXPECT_EQ(form_->Notebook1->PageIndex(), 2);
  EXPECT_FALSE(gui_.Click(*form_->Button4));
  EXPECT_EQ(form_->Notebook1->PageIndex(), 2);
  form_->Notebook1->SetPageIndex(3);
  EXPECT_TRUE(gui_.Click(*form_->Button6));
  EXPECT_EQ(form_->Notebook1->PageIndex(), 4);

  online_ = true;
  Tick();
  for (auto* b : gated) EXPECT_TRUE(b->Enabled()) << b->Name();
  EXPECT_EQ(form_->StatusBar1->SimpleText(), "Connessione attiva");
}

TEST_F(NavigationTest, OfflineFromTheStartChangesNothing) {
  for (int i = 0; i < 5; ++i) Tick();
  EXPECT_GE(probeCalls_, 10);  // two probes a tick without the remote-access key
  EXPECT_TRUE(form_->Button2->Enabled());
  EXPECT_EQ(form_->StatusBar1->SimpleText(), "");
}

TEST_F(NavigationTest, GatingArrivesDuringALongOperationThatPumpsMessages) {
  online_ = true;
  gui_.SetClockStepPerPump(500);
  plat::ProcessMessages();
  EXPECT_EQ(form_->StatusBar1->SimpleText(), "");
  plat::ProcessMessages();  // one second has passed: the tick runs inside the pump
  EXPECT_EQ(form_->StatusBar1->SimpleText(), "Connessione attiva");
}

TEST_F(NavigationTest, EveryPaintCopiesTheWelcomePictureToPagesTwoAndFive) {
  ASSERT_FALSE(form_->ImgBase->Picture().Empty());
  EXPECT_EQ(form_->ImgBase->Picture().Width(), 104);
  EXPECT_EQ(form_->ImgBase->Picture().Height(), 93);
  // Showing the window painted it once already.
  EXPECT_TRUE(form_->Image2->Picture().SameImage(form_->ImgBase->Picture()));
  EXPECT_TRUE(form_->Image4->Picture().SameImage(form_->ImgBase->Picture()));
  const unsigned before = form_->Image2->Picture().Generation();
  gui_.Paint(*form_);
  EXPECT_EQ(form_->Image2->Picture().Generation(), before + 1);
  EXPECT_EQ(form_->Image4->Picture().Generation(), before + 1);
}

TEST_F(NavigationTest, FlashPictureClickHidesThePromptPanel) {
  form_->Notebook1->SetPageIndex(2);
  form_->Image5->Show();
  EXPECT_TRUE(gui_.Click(*form_->Image5));
  EXPECT_FALSE(form_->Panel10->Visible());
}

}  // namespace
}  // namespace wizardtest
