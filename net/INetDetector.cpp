// The online detector: timer management and one tick.
#include "net/INetDetector.h"

#include <exception>

#include "platform/Net.h"
#include "platform/gui/Application.h"

namespace net {

namespace {
// Closes a registry key on every way out of the tick.
class KeyCloser {
 public:
  KeyCloser(plat::RegistryBackend& r, plat::RegKey k) : r_(r), k_(k) {}
  ~KeyCloser() { r_.CloseKey(k_); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  plat::RegistryBackend& r_;
  plat::RegKey k_;
};
}  // namespace

TINetDetector::TINetDetector(gui::TComponent* owner)
    : TINetDetector(owner, plat::ProbeHost, plat::SystemRegistry(),
                    gui::Application().Backend()) {}

TINetDetector::TINetDetector(gui::TComponent* owner, Probe probe,
                             plat::RegistryBackend& registry, gui::GuiBackend& gui)
    : TComponent(owner),
      probe_(std::move(probe)),
      registry_(registry),
      // Every tick counts, whichever timer of the sink it names: the sink runs only ours.
      timer_(gui.CreateTimerSink([this](unsigned) { Tick(); })) {
  UpdateTimer();
}

TINetDetector::~TINetDetector() {
  enabled_ = false;
  UpdateTimer();
  timer_.reset();
}

const std::vector<std::string>& TINetDetector::PublishedProperties() {
  static const std::vector<std::string> names = {"Enabled", "DispatchInterval", "Online",
                                                 "OnChanged"};
  return names;
}

void TINetDetector::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  UpdateTimer();
}

void TINetDetector::SetDispatchInterval(std::uint32_t ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TINetDetector::UpdateTimer() {
  timer_->Stop(kDetectorTimerId);
  if (interval_ != 0 && enabled_) timer_->Start(kDetectorTimerId, interval_);
}

void TINetDetector::Tick() {
  const bool before = online_;
  try {
    online_ = probe_();
    NotifyIfChanged(before);
    plat::RegKey key = 0;
    // For reading only: a user who may not write the key still sees the remote connection.
    if (registry_.OpenKeyRead(plat::kHKeyLocalMachine, kRemoteAccessKey, key) !=
        plat::reg::kSuccess) {
      online_ = probe_();
      NotifyIfChanged(before);
      return;
    }
    KeyCloser closer(registry_, key);
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    const long rc = registry_.QueryValue(key, kRemoteConnectionValue, type, data);
    // A value longer than the 4-byte buffer fails to read, as it does with the system call.
    if (rc != plat::reg::kSuccess || data.size() > kRemoteConnectionBufferSize) {
      online_ = probe_();
    } else {
      // Only an active remote connection counts; it can turn the state on, never off.
      online_ = online_ || (!data.empty() && data[0] == 1);
    }
    NotifyIfChanged(before);
  } catch (...) {
    gui::Application().HandleException(std::current_exception());
  }
}

void TINetDetector::NotifyIfChanged(bool before) {
  if (online_ != before && OnChanged) OnChanged(this);
}

}  // namespace net
