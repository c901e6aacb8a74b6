// Without a window system the platform's own back end is the headless one: the program runs,
// shows nothing and its loop ends at once.
#include "platform/gui/HeadlessBackend.h"

namespace gui {

GuiBackend& DefaultGuiBackend() {
  static HeadlessBackend backend;
  return backend;
}

}  // namespace gui
