// The headless back end's virtual time: timer sinks, delivery in time order,
// folding of overdue ticks into one message per pump, posted input during a long operation.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/MessagePump.h"
#include "platform/gui/Application.h"
#include "platform/gui/Form.h"
#include "platform/gui/HeadlessBackend.h"

namespace gui {
namespace {

class HeadlessTest : public ::testing::Test {
 protected:
  std::unique_ptr<TimerSink> Sink(const std::string& label) {
    return gui_.CreateTimerSink([this, label](unsigned id) {
      log_.push_back(label + std::to_string(id) + "@" + std::to_string(gui_.Now()));
    });
  }
  HeadlessBackend gui_;
  TApplication app_{gui_};
  std::vector<std::string> log_;
};

TEST_F(HeadlessTest, AdvanceDeliversEveryDueTickInTimeOrder) {
  const auto a = Sink("a");
  const auto b = Sink("b");
  a->Start(1, 300);
  b->Start(2, 500);
  gui_.AdvanceClock(1000);
  EXPECT_EQ(log_, (std::vector<std::string>{"a1@300", "b2@500", "a1@600", "a1@900", "b2@1000"}));
  EXPECT_EQ(gui_.Now(), 1000u);
}

TEST_F(HeadlessTest, SettingARunningTimerRestartsItsPeriod) {
  const auto a = Sink("a");
  a->Start(1, 1000);
  gui_.AdvanceClock(600);
  a->Start(1, 1000);
  gui_.AdvanceClock(600);
  EXPECT_TRUE(log_.empty());
  gui_.AdvanceClock(400);
  EXPECT_EQ(log_, (std::vector<std::string>{"a1@1600"}));
}

TEST_F(HeadlessTest, StoppedTimersAndDestroyedSinksGetNoTicks) {
  const auto a = Sink("a");
  auto b = Sink("b");
  a->Start(1, 100);
  b->Start(1, 100);
  a->Stop(1);
  b.reset();
  gui_.AdvanceClock(1000);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(gui_.ActiveTimerCount(), 0);
  EXPECT_EQ(gui_.TimerSinkCount(), 1);
}

TEST_F(HeadlessTest, PumpDeliversDueTicksFoldedToOnePerTimer) {
  const auto a = Sink("a");
  a->Start(1, 100);
  gui_.AdvanceClockQuietly(350);
  EXPECT_TRUE(log_.empty());
  plat::ProcessMessages();  // the platform pump reaches the back end
  EXPECT_EQ(log_, (std::vector<std::string>{"a1@350"}));
  plat::ProcessMessages();
  EXPECT_EQ(log_.size(), 1u);  // next one due at 450
}

TEST_F(HeadlessTest, PumpServesEveryDueTimerEvenWithEqualDueTimes) {
  const auto a = Sink("a");
  const auto b = Sink("b");
  a->Start(1, 0);  // raised to the system's minimum period
  b->Start(1, 10);
  gui_.AdvanceClockQuietly(10);
  plat::ProcessMessages();
  EXPECT_EQ(log_, (std::vector<std::string>{"a1@10", "b1@10"}));
}

TEST_F(HeadlessTest, ClockStepPerPumpLetsALongOperationSeeTicks) {
  const auto a = Sink("a");
  a->Start(1, 1000);
  gui_.SetClockStepPerPump(250);
  for (int i = 0; i < 8; ++i) plat::ProcessMessages();  // as a restore does between blocks
  EXPECT_EQ(log_, (std::vector<std::string>{"a1@1000", "a1@2000"}));
}

TEST_F(HeadlessTest, PostedClickArrivesAtTheNextPumpAndRespectsTheControlState) {
  auto* form = app_.CreateForm<TForm>();
  auto* button = new TButton(form);
  button->SetParent(form);
  form->Show();
  int clicks = 0;
  button->OnClick = [&](TComponent*) { ++clicks; };
  gui_.PostClick(*button);
  EXPECT_EQ(clicks, 0);
  plat::ProcessMessages();
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(false);
  gui_.PostClick(*button);
  plat::ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

TEST_F(HeadlessTest, RepaintReachesTheBackEndOnlyOnceTheFormHasWindows) {
  auto* form = app_.CreateForm<TForm>();
  auto* button = new TButton(form);
  button->SetParent(form);
  button->Repaint();
  EXPECT_EQ(gui_.RepaintCount(*button), 0);
  form->Show();
  button->Repaint();
  button->Repaint();
  EXPECT_EQ(gui_.RepaintCount(*button), 2);
}

TEST_F(HeadlessTest, ExceptionInATickIsShownAndTimersGoOn) {
  int ticks = 0;
  const auto a = gui_.CreateTimerSink([&](unsigned) {
    if (++ticks == 1) throw std::runtime_error("tick failed");
  });
  a->Start(1, 10);
  gui_.AdvanceClock(30);
  EXPECT_EQ(ticks, 3);
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].text, "tick failed");
}

}  // namespace
}  // namespace gui
