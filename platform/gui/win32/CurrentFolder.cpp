// The process's current folder on Win32.
#include <windows.h>

#include <string>

#include "platform/gui/FileControls.h"

namespace gui {

std::string ProcessCurrentFolder() {
  char buf[MAX_PATH + 1];
  const DWORD n = GetCurrentDirectoryA(sizeof buf, buf);
  if (n == 0 || n >= sizeof buf) return "c:\\";
  return std::string(buf, n);
}

}  // namespace gui
