// The message pump hook: the GUI layer installs the function that drains its message queue.
#include "platform/MessagePump.h"

#include <utility>

namespace plat {

namespace {
std::function<void()>& Pump() {
  static std::function<void()> pump;
  return pump;
}
}  // namespace

void ProcessMessages() {
  const std::function<void()> pump = Pump();
  if (pump) pump();
}

std::function<void()> SetMessagePump(std::function<void()> pump) {
  return std::exchange(Pump(), std::move(pump));
}

}  // namespace plat
