// The back end Win32 builds run with: real windows.
#include "platform/gui/win32/Win32Backend.h"

namespace gui {

GuiBackend& DefaultGuiBackend() {
  static win32::Win32Backend backend;
  return backend;
}

}  // namespace gui
