#include "platform/DllSearch.h"

namespace plat {

// Shared objects are found through the linker's own paths, never the program's folder.
void RestrictDllSearch() {}

}  // namespace plat
