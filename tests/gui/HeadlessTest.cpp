// The headless back end: the conformance suite every back end passes, then what only it has,
// its virtual time (timer sinks, delivery in time order, folding of overdue ticks into one
// message per pump) and input posted during a long operation.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "BackendConformance.h"
#include "platform/MessagePump.h"
#include "platform/gui/Application.h"
#include "platform/gui/Form.h"
#include "platform/gui/HeadlessBackend.h"

namespace guitest {

class HeadlessHarness {
 public:
  gui::TApplication& App() { return app_; }
  void Click(gui::TControl& c) { gui_.Click(c); }
  void Type(gui::TEdit& e, const std::string& text) { gui_.Type(e, text); }
  void CloseBox(gui::TForm& f) { gui_.ClickCloseBox(f); }
  void DuringModal(std::function<void()> user) {
    gui_.OnModal = [user](gui::TForm&) { user(); };
  }
  ControlPicture Picture(const gui::TControl& c) { return ObjectPicture(c); }
  bool Shows(const gui::TControl& c) { return c.Showing(); }
  std::vector<ShownBox> Boxes() {
    std::vector<ShownBox> boxes;
    for (const auto& b : gui_.Boxes()) boxes.push_back({b.text, b.title, b.flags});
    return boxes;
  }
  void Pass(unsigned ms) {
    gui_.AdvanceClock(ms);
    gui_.ProcessMessages();
  }
  bool WaitUntil(const std::function<bool()>& done, unsigned maxMs) {
    for (unsigned t = 0; !done() && t < maxMs; t += 10) gui_.AdvanceClock(10);
    return done();
  }

 private:
  gui::HeadlessBackend gui_;
  gui::TApplication app_{gui_};
};

INSTANTIATE_TYPED_TEST_SUITE_P(Headless, BackendConformance, HeadlessHarness);

namespace {

class HeadlessTest : public ::testing::Test {
 protected:
  gui::HeadlessBackend gui_;
  gui::TApplication app_{gui_};
};

// Each scenario starts, stops and restarts timers of sinks "a" and "b" and moves the clock;
// every tick is logged as sink, timer and time ("a1@300").
TEST_F(HeadlessTest, VirtualTimeScenarios) {
  struct Step {
    enum Op { kStart, kStop, kDrop, kAdvance, kQuietly, kPump, kStepPerPump } op;
    char sink = 0;
    unsigned id = 0;
    unsigned ms = 0;
  };
  using S = Step;
  const struct {
    const char* name;
    std::vector<Step> steps;
    std::vector<std::string> ticks;
    int timersRunning;
    int sinksAlive;
  } scenarios[] = {
      {"AdvanceDeliversEveryDueTickInTimeOrder",
       {{S::kStart, 'a', 1, 300}, {S::kStart, 'b', 2, 500}, {S::kAdvance, 0, 0, 1000}},
       {"a1@300", "b2@500", "a1@600", "a1@900", "b2@1000"},
       2, 2},
      {"SettingARunningTimerRestartsItsPeriod",
       {{S::kStart, 'a', 1, 1000}, {S::kAdvance, 0, 0, 600}, {S::kStart, 'a', 1, 1000},
        {S::kAdvance, 0, 0, 1000}},
       {"a1@1600"},
       1, 2},
      {"PumpDeliversDueTicksFoldedToOnePerTimer (the next is due at 450)",
       {{S::kStart, 'a', 1, 100}, {S::kQuietly, 0, 0, 350}, {S::kPump}, {S::kPump}},
       {"a1@350"},
       1, 2},
      {"PumpServesEveryDueTimerEvenWithEqualDueTimes (0 is raised to the minimum period)",
       {{S::kStart, 'a', 1, 0}, {S::kStart, 'b', 1, 10}, {S::kQuietly, 0, 0, 10}, {S::kPump}},
       {"a1@10", "b1@10"},
       2, 2},
      {"ClockStepPerPumpLetsALongOperationSeeTicks (as a restore pumps between blocks)",
       {{S::kStart, 'a', 1, 1000}, {S::kStepPerPump, 0, 0, 250}, {S::kPump}, {S::kPump},
        {S::kPump}, {S::kPump}, {S::kPump}, {S::kPump}, {S::kPump}, {S::kPump}},
       {"a1@1000", "a1@2000"},
       1, 2},
      {"a stopped timer and a dropped sink leave nothing running (a timer that does not run "
       "stops without error)",
       {{S::kStart, 'a', 1, 100}, {S::kStart, 'b', 1, 100}, {S::kStop, 'a', 1}, {S::kStop, 'a', 2},
        {S::kDrop, 'b'}, {S::kAdvance, 0, 0, 1000}},
       {},
       0, 1},
  };
  for (const auto& s : scenarios) {
    gui::HeadlessBackend gui;
    gui::TApplication app(gui);
    std::vector<std::string> log;
    auto sink = [&](char name) {
      return gui.CreateTimerSink([&gui, &log, name](unsigned id) {
        log.push_back(name + std::to_string(id) + "@" + std::to_string(gui.Now()));
      });
    };
    std::unique_ptr<gui::TimerSink> sinks[] = {sink('a'), sink('b')};
    for (const Step& step : s.steps) {
      std::unique_ptr<gui::TimerSink>& target = sinks[step.sink == 'b' ? 1 : 0];
      switch (step.op) {
        case S::kStart: target->Start(step.id, step.ms); break;
        case S::kStop: target->Stop(step.id); break;
        case S::kDrop: target.reset(); break;
        case S::kAdvance: gui.AdvanceClock(step.ms); break;
        case S::kQuietly: gui.AdvanceClockQuietly(step.ms); break;
        case S::kPump: plat::ProcessMessages(); break;  // the platform pump reaches the back end
        case S::kStepPerPump: gui.SetClockStepPerPump(step.ms); break;
      }
    }
    EXPECT_EQ(log, s.ticks) << s.name;
    EXPECT_EQ(gui.ActiveTimerCount(), s.timersRunning) << s.name;
    EXPECT_EQ(gui.TimerSinkCount(), s.sinksAlive) << s.name;
  }
}

TEST_F(HeadlessTest, PostedClickArrivesAtTheNextPumpAndRespectsTheControlState) {
  auto* form = app_.CreateForm<gui::TForm>();
  auto* button = new gui::TButton(form);
  button->SetParent(form);
  form->Show();
  int clicks = 0;
  button->OnClick = [&](gui::TComponent*) { ++clicks; };
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
  auto* form = app_.CreateForm<gui::TForm>();
  auto* button = new gui::TButton(form);
  button->SetParent(form);
  button->Repaint();
  EXPECT_EQ(gui_.RepaintCount(*button), 0);
  form->Show();
  button->Repaint();
  button->Repaint();
  EXPECT_EQ(gui_.RepaintCount(*button), 2);
}

}  // namespace
}  // namespace guitest
