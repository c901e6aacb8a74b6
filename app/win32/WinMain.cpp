// Entry point of the installer: the Windows GUI entry. Its arguments are not read.
#include <windows.h>

#include "app/Installer.h"
#include "platform/DllSearch.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // First of all: every window, COM, socket and mail call after this loads the DLLs it needs
  // from the system folder, never from the (download) folder the installer was started from.
  plat::RestrictDllSearch();
  return app::RunInstaller(gui::DefaultGuiBackend());
}
