// Entry point of the installer. Its arguments are not read.
#include "app/Installer.h"

int main() { return app::RunInstaller(gui::DefaultGuiBackend()); }
