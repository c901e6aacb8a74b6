// A window as the platform's shell and mail calls take it for the owner of what they show
// (the shell's "open", the mail client's dialogs). Opaque above platform/: the GUI layer hands
// one out for a control (gui::TControl::Window()), only the platform's implementations look
// inside (a window handle on Win32), and an empty one means "no owner".
#pragma once

#include <cstdint>

namespace plat {

class WindowRef {
 public:
  constexpr WindowRef() = default;
  // For the GUI back ends and the platform's implementations only.
  static constexpr WindowRef FromNative(std::uintptr_t native) { return WindowRef(native); }
  constexpr std::uintptr_t Native() const { return native_; }

  constexpr bool Empty() const { return native_ == 0; }
  friend constexpr bool operator==(WindowRef a, WindowRef b) { return a.native_ == b.native_; }
  friend constexpr bool operator!=(WindowRef a, WindowRef b) { return !(a == b); }

 private:
  constexpr explicit WindowRef(std::uintptr_t native) : native_(native) {}
  std::uintptr_t native_ = 0;
};

}  // namespace plat
