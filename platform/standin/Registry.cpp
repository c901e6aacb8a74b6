// The native build has no system registry: one in-memory registry serves the whole process.
#include "platform/MemoryRegistry.h"

namespace plat {

RegistryBackend& SystemRegistry() {
  static MemoryRegistry registry;
  return registry;
}

}  // namespace plat
