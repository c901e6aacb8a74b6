// Entry point of the installer where there is no Windows: the wizard runs on the platform's
// default back end. Its arguments are not read.
#include "app/Installer.h"

int main() { return app::RunInstaller(gui::DefaultGuiBackend()); }
