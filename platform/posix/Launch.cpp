// No shell to hand a document or address to on POSIX: nothing is opened.
#include "platform/Launch.h"

namespace plat {

bool NativeShellOpen(WindowRef, const std::string&) { return false; }

}  // namespace plat
