// The platform's own message box: MessageBoxA, owned by the thread's active window so that the
// box is modal to it (the wizard cannot be clicked while a box waits for an answer).
#include "platform/MessageBox.h"

#include <windows.h>

namespace plat {

int NativeMessageBox(const std::string& text, const std::string& title, unsigned flags) {
  HWND owner = GetActiveWindow();
  // Without an owner the box still has to block every window of this thread.
  if (owner == nullptr) flags |= MB_TASKMODAL;
  return MessageBoxA(owner, text.c_str(), title.c_str(), flags);
}

}  // namespace plat
