// The shell's "open" verb through ShellExecuteA.
#include <windows.h>
#include <shellapi.h>

#include "platform/Launch.h"

namespace plat {

bool NativeShellOpen(WindowRef parent, const std::string& target) {
  const HINSTANCE result = ShellExecuteA(reinterpret_cast<HWND>(parent.Native()), "open",
                                         target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // ShellExecuteA reports success as a value above 32 (the historic instance handle).
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace plat
