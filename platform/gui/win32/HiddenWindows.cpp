// Hidden message-only windows with a procedure of their own, and their timers: how components
// such as the online detector get periodic ticks on the GUI thread through the message loop.
#include "platform/gui/win32/Win32Backend.h"

#include "platform/gui/Application.h"

namespace gui {
namespace win32 {

namespace {

const char kHiddenClass[] = "LumiHiddenWindow";

LRESULT HiddenBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* proc = reinterpret_cast<WindowProc*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  // Messages of creation and destruction arrive while no procedure is attached.
  if (!proc || !*proc) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // A copy: the procedure may destroy its own window, and with it the stored procedure.
  WindowProc call = *proc;
  LRESULT result = 0;
  Application().Dispatch([&] { result = call(msg, wParam, lParam); });
  return result;
}

LRESULT CALLBACK HiddenProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return Guarded(h, m, w, l, HiddenBody);
}

void RegisterHiddenClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = HiddenProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kHiddenClass;
    return RegisterClassExA(&wc) != 0;
  }();
  (void)registered;
}

HWND ToHwnd(WindowHandle h) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(h)); }

}  // namespace

WindowHandle Win32Backend::AllocateHiddenWindow(WindowProc proc) {
  RegisterHiddenClass();
  HWND hwnd = CreateWindowExA(0, kHiddenClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return 0;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(new WindowProc(std::move(proc))));
  return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(hwnd));
}

void Win32Backend::DestroyHiddenWindow(WindowHandle window) {
  HWND hwnd = ToHwnd(window);
  if (!hwnd || !IsWindow(hwnd)) return;
  auto* proc = reinterpret_cast<WindowProc*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  DestroyWindow(hwnd);  // the system kills the window's timers with it
  delete proc;
}

bool Win32Backend::SetTimer(WindowHandle window, unsigned id, unsigned intervalMs) {
  // SetTimer with an id the window already uses replaces that timer, as the interface asks.
  return ::SetTimer(ToHwnd(window), id, intervalMs, nullptr) != 0;
}

void Win32Backend::KillTimer(WindowHandle window, unsigned id) { ::KillTimer(ToHwnd(window), id); }

std::intptr_t Win32Backend::DefWindowProc(WindowHandle window, unsigned msg,
                                          std::uintptr_t wParam, std::intptr_t lParam) {
  return DefWindowProcA(ToHwnd(window), msg, static_cast<WPARAM>(wParam),
                        static_cast<LPARAM>(lParam));
}

}  // namespace win32
}  // namespace gui
