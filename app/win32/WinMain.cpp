// Entry point of the installer: the Windows GUI entry. Its arguments are not read.
#include <windows.h>

#include "app/Installer.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return app::RunInstaller(gui::DefaultGuiBackend());
}
