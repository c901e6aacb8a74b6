// Timer sinks: a hidden message-only window per sink with the system's timers on it, so that
// components such as the online detector get their ticks on the GUI thread through the message
// loop (and through every ProcessMessages of a long operation). WM_TIMER is the sink's tick;
// every other message to the window gets the system's default handling.
#include "platform/gui/win32/Win32Backend.h"

#include "platform/gui/Application.h"

namespace gui {
namespace win32 {

namespace {

const char kSinkClass[] = "LumiTimerSink";

class HiddenTimerSink : public TimerSink {
 public:
  explicit HiddenTimerSink(TickHandler onTick);
  ~HiddenTimerSink() override;
  HiddenTimerSink(const HiddenTimerSink&) = delete;
  HiddenTimerSink& operator=(const HiddenTimerSink&) = delete;

  // SetTimer with an id the window already uses replaces that timer, restarting its period.
  bool Start(unsigned id, unsigned intervalMs) override {
    return window_ && ::SetTimer(window_, id, intervalMs, nullptr) != 0;
  }
  void Stop(unsigned id) override {
    if (window_) ::KillTimer(window_, id);
  }

  HWND Window() const { return window_; }
  const TickHandler& OnTick() const { return onTick_; }

 private:
  HWND window_ = nullptr;
  TickHandler onTick_;
};

LRESULT SinkBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* sink = reinterpret_cast<HiddenTimerSink*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  // Messages of creation and destruction arrive while no sink is attached.
  if (msg != WM_TIMER || !sink) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // A copy: the handler may destroy its own sink, and the window with it.
  TickHandler call = sink->OnTick();
  Application().Dispatch([&] {
    if (call) call(static_cast<unsigned>(wParam));
  });
  return 0;
}

LRESULT CALLBACK SinkProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return Guarded(h, m, w, l, SinkBody);
}

void RegisterSinkClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = SinkProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kSinkClass;
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
}

HiddenTimerSink::HiddenTimerSink(TickHandler onTick) : onTick_(std::move(onTick)) {
  RegisterSinkClass();
  window_ = CreateWindowExA(0, kSinkClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
  if (window_) SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HiddenTimerSink::~HiddenTimerSink() {
  if (!window_) return;
  SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);  // the system kills the window's timers with it
}

}  // namespace

std::unique_ptr<TimerSink> Win32Backend::CreateTimerSink(TickHandler onTick) {
  return std::make_unique<HiddenTimerSink>(std::move(onTick));
}

HWND TimerSinkWindow(const TimerSink& sink) {
  const auto* hidden = dynamic_cast<const HiddenTimerSink*>(&sink);
  return hidden ? hidden->Window() : nullptr;
}

}  // namespace win32
}  // namespace gui
