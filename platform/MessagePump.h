// Lets long operations on the GUI thread hand control to the message loop between steps, so
// that timers tick, windows repaint and buttons respond during a restore. The GUI layer
// installs the pump; without one ProcessMessages does nothing.
#pragma once

#include <functional>

namespace plat {

void ProcessMessages();
// Returns the previous pump.
std::function<void()> SetMessagePump(std::function<void()> pump);

}  // namespace plat
