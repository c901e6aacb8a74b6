// Stand-in where there is no Windows shell to hand a document or address to: nothing is opened.
#include "platform/Launch.h"

namespace plat {

bool NativeShellOpen(WindowRef, const std::string&) { return false; }

}  // namespace plat
