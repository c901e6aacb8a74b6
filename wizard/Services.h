// The facilities the wizard windows use: file layer, registry back end, the host probe of the
// online detector and the shell. The program uses the platform's own; tests replace them before creating
// a window (a temporary drive root, an in-memory registry, a scripted probe).
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

// The services windows created from now on use. Reset() puts the platform's own back.
Services& CurrentServices();
void ResetServices();

}  // namespace wizard
