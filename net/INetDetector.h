// TINetDetector: a non-visual component that polls, on a timer, whether the machine is
// online and raises OnChanged whenever its Online state flips. Online means: the local host
// name resolves to an address other than the loopback one (the probe), or the remote-access
// service reports an active dial-up connection (a registry value).
//
// The timer is a timer sink of the GUI back end (a hidden window on Win32), so ticks arrive on
// the GUI thread through the message loop. The probe and the registry are handed in, so tests
// script both.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"
#include "platform/gui/Backend.h"
#include "platform/gui/Component.h"

namespace net {

constexpr char kRemoteAccessKey[] = "System\\CurrentControlSet\\Services\\RemoteAccess";
constexpr char kRemoteConnectionValue[] = "Remote Connection";
constexpr unsigned kDetectorTimerId = 1;
constexpr std::uint32_t kDefaultDispatchInterval = 1000;  // milliseconds
// The value is read into a buffer of this size; a longer value is a failed read.
constexpr std::size_t kRemoteConnectionBufferSize = 4;

class TINetDetector : public gui::TComponent {
 public:
  using Probe = std::function<bool()>;

  // Polling starts here, with Enabled true and DispatchInterval 1000; Online starts false.
  explicit TINetDetector(gui::TComponent* owner);
  TINetDetector(gui::TComponent* owner, Probe probe, plat::RegistryBackend& registry,
                gui::GuiBackend& gui);
  // Stops the timer before its sink goes: no tick runs afterwards.
  ~TINetDetector() override;

  // Published properties, in their streaming order (after the inherited Name and Tag).
  static const std::vector<std::string>& PublishedProperties();

  bool Enabled() const { return enabled_; }
  // A different value is stored and the timer re-created; an equal one changes nothing.
  void SetEnabled(bool on);
  std::uint32_t DispatchInterval() const { return interval_; }
  void SetDispatchInterval(std::uint32_t ms);
  bool Online() const { return online_; }
  // Ignores the value: the state comes only from the probes (a stored value has no effect).
  void SetOnline(bool) {}

  gui::TNotifyEvent OnChanged;

  // The sink that timer kDetectorTimerId runs on.
  const gui::TimerSink& Timer() const { return *timer_; }

 private:
  void UpdateTimer();
  void Tick();
  void NotifyIfChanged(bool before);

  Probe probe_;
  plat::RegistryBackend& registry_;
  bool enabled_ = true;
  std::uint32_t interval_ = kDefaultDispatchInterval;
  std::unique_ptr<gui::TimerSink> timer_;
  bool online_ = false;
};

}  // namespace net
