// The installer's start: initialise the application, create the wizard window as the main
// window, run the message loop. An error escaping any of these is shown by the application's
// exception display; the result is 0 either way.
#pragma once

#include "platform/gui/Backend.h"

namespace app {

int RunInstaller(gui::GuiBackend& backend);

}  // namespace app
