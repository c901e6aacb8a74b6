// The installer's start.
#include "app/Installer.h"

#include <exception>

#include "platform/gui/Application.h"
#include "wizard/Unit1.h"

namespace app {

int RunInstaller(gui::GuiBackend& backend) {
  gui::TApplication application(backend);
  try {
    application.Initialize();
    application.CreateForm<wizard::TForm1>();
    application.Run();
  } catch (...) {
    application.HandleException(std::current_exception());
  }
  return 0;
}

}  // namespace app
