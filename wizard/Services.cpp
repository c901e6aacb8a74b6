// The wizard's facilities and their defaults.
#include "wizard/Services.h"

#include "platform/Net.h"

namespace wizard {

plat::FileSystem& Services::Files() const { return files ? *files : plat::RealFileSystem(); }

plat::RegistryBackend& Services::Registry() const {
  return registry ? *registry : plat::SystemRegistry();
}

plat::Shell& Services::Shell() const { return shell ? *shell : plat::SystemShell(); }

std::function<bool()> Services::Probe() const {
  if (probe) return probe;
  return [] { return plat::ProbeHost(); };
}

Services& CurrentServices() {
  static Services services;
  return services;
}

void ResetServices() { CurrentServices() = Services(); }

}  // namespace wizard
