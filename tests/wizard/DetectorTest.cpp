// The online detector: its timer on a timer sink, the tick with its two probes and the
// remote-access value, the notification rule, the setters and its end.
#include <gtest/gtest.h>

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/INetDetector.h"
#include "platform/MemoryRegistry.h"
#include "platform/gui/Application.h"
#include "platform/gui/HeadlessBackend.h"

namespace net {
namespace {

class DetectorTest : public ::testing::Test {
 protected:
  TINetDetector* Make() {
    auto* d = new TINetDetector(
        &owner_,
        [this] {
          ++probes_;
          if (throwNext_) {
            throwNext_ = false;
            throw std::runtime_error("probe failed");
          }
          if (!script_.empty()) {
            const bool v = script_.front();
            script_.pop_front();
            return v;
          }
          return online_;
        },
        registry_, gui_);
    d->OnChanged = [this, d](gui::TComponent* sender) {
      EXPECT_EQ(sender, d);
      seen_.push_back(d->Online());
    };
    return d;
  }
  void SetRemote(std::vector<std::uint8_t> data, std::uint32_t type = plat::reg::kDword) {
    plat::RegKey key = 0;
    ASSERT_EQ(registry_.CreateKey(plat::kHKeyLocalMachine, kRemoteAccessKey, key), 0);
    registry_.SetValue(key, kRemoteConnectionValue, type, data.data(), data.size());
    registry_.CloseKey(key);
  }

  plat::MemoryRegistry registry_;
  gui::HeadlessBackend gui_;
  gui::TApplication app_{gui_};
  gui::TComponent owner_{nullptr};
  bool online_ = false;
  bool throwNext_ = false;
  std::deque<bool> script_;
  int probes_ = 0;
  std::vector<bool> seen_;
};

TEST_F(DetectorTest, StartsOfflineSilentAndPollingEverySecond) {
  TINetDetector* d = Make();
  d->SetOnline(true);  // a stored value has no effect
  EXPECT_FALSE(d->Online());
  EXPECT_TRUE(d->Enabled());
  EXPECT_EQ(d->DispatchInterval(), 1000u);
  EXPECT_EQ(gui_.TimerInterval(d->Timer(), kDetectorTimerId), 1000u);
  gui_.AdvanceClock(999);
  EXPECT_EQ(probes_, 0);
  gui_.AdvanceClock(1);
  EXPECT_EQ(probes_, 2);  // no remote-access key: two probes
  EXPECT_TRUE(seen_.empty());
  EXPECT_EQ((TINetDetector::PublishedProperties()),
            (std::vector<std::string>{"Enabled", "DispatchInterval", "Online", "OnChanged"}));
}

TEST_F(DetectorTest, LastingChangeIsNotifiedTwiceInItsTick) {
  Make();
  online_ = true;
  gui_.AdvanceClock(1000);
  EXPECT_EQ(seen_, (std::vector<bool>{true, true}));
  gui_.AdvanceClock(1000);
  EXPECT_EQ(seen_.size(), 2u);  // no change, no call
  online_ = false;
  gui_.AdvanceClock(1000);
  EXPECT_EQ(seen_, (std::vector<bool>{true, true, false, false}));
}

TEST_F(DetectorTest, ChangeUndoneBySecondProbeIsNotifiedOnce) {
  TINetDetector* d = Make();
  script_ = {true, false};
  gui_.AdvanceClock(1000);
  EXPECT_EQ(seen_, (std::vector<bool>{true}));
  EXPECT_FALSE(d->Online());
}

TEST_F(DetectorTest, RemoteConnectionValueCanOnlyTurnTheStateOn) {
  TINetDetector* d = Make();
  SetRemote({1, 0, 0, 0});
  // A user who may read the service's key but not write it.
  registry_.FailOn(plat::MemoryRegistry::Op::OpenKey,
                   std::string("HKEY_LOCAL_MACHINE\\") + kRemoteAccessKey);
  gui_.AdvanceClock(1000);
  EXPECT_EQ(probes_, 1);  // the key opened: no second probe
  EXPECT_TRUE(d->Online());
  EXPECT_EQ(seen_, (std::vector<bool>{true}));  // step 2 saw no change; step 3 did
  SetRemote({2, 0, 0, 0});
  online_ = true;
  gui_.AdvanceClock(1000);
  EXPECT_TRUE(d->Online());
  online_ = false;
  gui_.AdvanceClock(1000);
  EXPECT_FALSE(d->Online());  // first byte 2 does not count
  SetRemote({1}, plat::reg::kBinary);  // the type is not examined
  gui_.AdvanceClock(1000);
  EXPECT_TRUE(d->Online());
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

TEST_F(DetectorTest, UnreadableRemoteValueFallsBackToASecondProbe) {
  TINetDetector* d = Make();
  SetRemote({1, 0, 0, 0, 0});  // longer than the 4-byte buffer
  script_ = {false, true};
  gui_.AdvanceClock(1000);
  EXPECT_EQ(probes_, 2);
  EXPECT_TRUE(d->Online());
  EXPECT_EQ(seen_, (std::vector<bool>{true}));
  // The key without the value: also a second probe.
  plat::RegKey key = 0;
  registry_.OpenKey(plat::kHKeyLocalMachine, kRemoteAccessKey, key);
  registry_.DeleteValue(key, kRemoteConnectionValue);
  registry_.CloseKey(key);
  script_ = {true, false};
  gui_.AdvanceClock(1000);
  EXPECT_EQ(probes_, 4);
  EXPECT_FALSE(d->Online());
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

TEST_F(DetectorTest, EqualSetterValuesDoNotRestartTheTimer) {
  TINetDetector* d = Make();
  gui_.AdvanceClock(600);
  d->SetEnabled(true);
  d->SetDispatchInterval(1000);
  gui_.AdvanceClock(400);
  EXPECT_EQ(probes_, 2);  // ticked at 1000 as first planned
}

TEST_F(DetectorTest, ChangedSettingsRestartTheTimerAndZeroOrDisabledStopsIt) {
  TINetDetector* d = Make();
  gui_.AdvanceClock(600);
  d->SetDispatchInterval(500);
  gui_.AdvanceClock(499);
  EXPECT_EQ(probes_, 0);
  gui_.AdvanceClock(1);
  EXPECT_EQ(probes_, 2);  // one full new interval after the change
  d->SetDispatchInterval(0);
  EXPECT_TRUE(d->Enabled());
  gui_.AdvanceClock(5000);
  EXPECT_EQ(probes_, 2);
  d->SetDispatchInterval(1000);
  d->SetEnabled(false);
  gui_.AdvanceClock(5000);
  EXPECT_EQ(probes_, 2);
  EXPECT_EQ(gui_.ActiveTimerCount(), 0);
  online_ = true;
  d->SetEnabled(true);
  gui_.AdvanceClock(1000);
  EXPECT_TRUE(d->Online());
}

TEST_F(DetectorTest, NoTickAfterDestruction) {
  TINetDetector* d = Make();
  const int sinks = gui_.TimerSinkCount();
  gui_.AdvanceClock(500);
  delete d;
  EXPECT_EQ(gui_.TimerSinkCount(), sinks - 1);
  EXPECT_EQ(gui_.ActiveTimerCount(), 0);
  gui_.AdvanceClock(10000);
  EXPECT_EQ(probes_, 0);
}

TEST_F(DetectorTest, ExceptionInATickIsShownAndPollingGoesOn) {
  TINetDetector* d = Make();
  throwNext_ = true;
  gui_.AdvanceClock(1000);
  ASSERT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(gui_.Boxes()[0].text, "probe failed");
  online_ = true;
  gui_.AdvanceClock(1000);
  EXPECT_TRUE(d->Online());
  EXPECT_EQ(gui_.Boxes().size(), 1u);
}

TEST_F(DetectorTest, ExceptionFromTheListenerStillClosesTheRegistryKey) {
  TINetDetector* d = Make();
  SetRemote({1, 0, 0, 0});
  d->OnChanged = [](gui::TComponent*) { throw std::runtime_error("listener"); };
  gui_.AdvanceClock(1000);
  EXPECT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

TEST_F(DetectorTest, ATickOfAnyTimerNumberTicks) {
  TINetDetector* d = Make();
  gui_.DeliverTick(d->Timer(), 99);
  EXPECT_EQ(probes_, 2);
}

}  // namespace
}  // namespace net
