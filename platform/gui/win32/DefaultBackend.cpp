// Until the native Win32 back end exists, Win32 builds run the headless one (the test programs
// install their own headless back end in any case).
#include "platform/gui/HeadlessBackend.h"

namespace gui {

GuiBackend& DefaultGuiBackend() {
  static HeadlessBackend backend;
  return backend;
}

}  // namespace gui
