// Data that the resource compiler builds into the Windows program file: the installer's
// pictures and icon live there rather than in its code, so they are stored once and stay
// visible to the shell and to resource viewers. Programs built for other systems carry none.
#pragma once

#include <cstddef>

namespace plat {

enum class ResourceKind { Bitmap, Icon, IconGroup };

// Bytes of a resource as the program file holds them; valid for the program's whole life.
struct ResourceData {
  const unsigned char* data;
  std::size_t size;
};

// The resource of that kind named `name` (as in the resource script, e.g. "LOGO") or numbered
// `id`, from the program's own file. Throws Error when the program has no such resource.
ResourceData ProgramResource(ResourceKind kind, const char* name);
ResourceData ProgramResource(ResourceKind kind, unsigned id);

}  // namespace plat
