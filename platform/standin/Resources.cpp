// Programs built for POSIX systems have no resource section: their content is compiled in as
// byte arrays instead, so every look-up fails.
#include "platform/Resources.h"

#include <string>

#include "platform/Error.h"

namespace plat {

ResourceData ProgramResource(ResourceKind, const char* name) {
  throw Error(std::string("The program has no resource ") + name);
}

ResourceData ProgramResource(ResourceKind, unsigned id) {
  throw Error("The program has no resource #" + std::to_string(id));
}

}  // namespace plat
