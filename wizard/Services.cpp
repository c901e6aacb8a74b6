// The wizard's facilities, their defaults and their replacement.
#include "wizard/Services.h"

#include <utility>

#include "platform/Net.h"

namespace wizard {

namespace {

// Written only by ScopedServices.
Services& InUse() {
  static Services services;
  return services;
}

}  // namespace

plat::FileSystem& Services::Files() const { return files ? *files : plat::RealFileSystem(); }

plat::RegistryBackend& Services::Registry() const {
  return registry ? *registry : plat::SystemRegistry();
}

plat::Shell& Services::Shell() const { return shell ? *shell : plat::SystemShell(); }

std::function<bool()> Services::Probe() const {
  if (probe) return probe;
  return [] { return plat::ProbeHost(); };
}

const Services& CurrentServices() { return InUse(); }

ScopedServices::ScopedServices() : saved_(InUse()) {}

ScopedServices::~ScopedServices() { InUse() = saved_; }

ScopedServices& ScopedServices::UseFiles(plat::FileSystem* files) {
  InUse().files = files;
  return *this;
}

ScopedServices& ScopedServices::UseRegistry(plat::RegistryBackend* registry) {
  InUse().registry = registry;
  return *this;
}

ScopedServices& ScopedServices::UseShell(plat::Shell* shell) {
  InUse().shell = shell;
  return *this;
}

ScopedServices& ScopedServices::UseProbe(std::function<bool()> probe) {
  InUse().probe = std::move(probe);
  return *this;
}

}  // namespace wizard
