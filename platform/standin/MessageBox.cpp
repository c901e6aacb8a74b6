// The stand-in for the platform's message box: there is no screen, so the box is written
// to stderr and answered with the first button (OK or Yes).
#include <cstdio>

#include "platform/MessageBox.h"

namespace plat {

int NativeMessageBox(const std::string& text, const std::string& title, unsigned flags) {
  std::fprintf(stderr, "[%s] %s\n", title.c_str(), text.c_str());
  return (flags & 0xF) == mb::kYesNo ? mb::kIdYes : mb::kIdOk;
}

}  // namespace plat
