// The facilities the wizard windows use: file layer, registry back end, the host probe of the
// online detector and the shell. The program uses the platform's own; tests replace them through
// a ScopedServices before creating a window (a temporary drive root, an in-memory registry, a
// scripted probe), and nothing else changes them.
#pragma once

#include <functional>

#include "platform/Files.h"
#include "platform/RegistryBackend.h"
#include "platform/Shell.h"

namespace wizard {

struct Services {
  plat::FileSystem* files = nullptr;         // null: plat::RealFileSystem()
  plat::RegistryBackend* registry = nullptr;  // null: plat::SystemRegistry()
  std::function<bool()> probe;                // empty: plat::ProbeHost
  plat::Shell* shell = nullptr;               // null: plat::SystemShell()

  plat::FileSystem& Files() const;
  plat::RegistryBackend& Registry() const;
  plat::Shell& Shell() const;
  std::function<bool()> Probe() const;
};

// The services windows created from now on use.
const Services& CurrentServices();

// Replaces services for its lifetime: each Use... call replaces one (null or empty: the
// platform's own), and the destructor puts back every service as it found them, however the
// scope ends. Scopes nest; they end in the reverse order of their making.
class ScopedServices {
 public:
  ScopedServices();
  ~ScopedServices();
  ScopedServices(const ScopedServices&) = delete;
  ScopedServices& operator=(const ScopedServices&) = delete;

  ScopedServices& UseFiles(plat::FileSystem* files);
  ScopedServices& UseRegistry(plat::RegistryBackend* registry);
  ScopedServices& UseShell(plat::Shell* shell);
  ScopedServices& UseProbe(std::function<bool()> probe);

 private:
  Services saved_;
};

}  // namespace wizard
