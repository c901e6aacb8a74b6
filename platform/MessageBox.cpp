// Message-box dispatch: the installed handler when there is one, else the platform's own box.
#include "platform/MessageBox.h"

#include <utility>

namespace plat {

namespace {
MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}
}  // namespace

int ShowMessageBox(const std::string& text, const std::string& title, unsigned flags) {
  // A copy, so that a handler may replace itself while its box is open.
  const MessageBoxHandler handler = Handler();
  if (handler) return handler(text, title, flags);
  return NativeMessageBox(text, title, flags);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

}  // namespace plat
