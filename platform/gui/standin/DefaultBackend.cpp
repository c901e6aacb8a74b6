// Without a window system the platform's own back end is the headless one: the program runs,
// its loop ends at once, and message boxes go to the platform's own box (stderr on POSIX).
#include "platform/MessageBox.h"
#include "platform/gui/HeadlessBackend.h"

namespace gui {

GuiBackend& DefaultGuiBackend() {
  static HeadlessBackend backend;
  static const bool wired = [] {
    backend.OnMessageBox = [](const HeadlessBackend::BoxRecord& box) {
      return plat::NativeMessageBox(box.text, box.title, box.flags);
    };
    return true;
  }();
  (void)wired;
  return backend;
}

}  // namespace gui
