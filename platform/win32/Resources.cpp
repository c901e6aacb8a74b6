// Resources of the running program's own file. A resource loaded from the main module stays
// mapped until the process ends, so a pointer into it can be handed out for good.
#include "platform/Resources.h"

#include <windows.h>

#include <string>

#include "platform/Error.h"

namespace plat {
namespace {

LPCSTR TypeOf(ResourceKind kind) {
  switch (kind) {
    case ResourceKind::Bitmap: return RT_BITMAP;
    case ResourceKind::Icon: return RT_ICON;
    case ResourceKind::IconGroup: return RT_GROUP_ICON;
  }
  return RT_RCDATA;
}

ResourceData Load(ResourceKind kind, LPCSTR name, const std::string& shownName) {
  HMODULE program = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(program, name, TypeOf(kind));
  HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) throw Error("The program has no resource " + shownName);
  return {static_cast<const unsigned char*>(bytes), SizeofResource(program, found)};
}

}  // namespace

ResourceData ProgramResource(ResourceKind kind, const char* name) {
  return Load(kind, name, name);
}

ResourceData ProgramResource(ResourceKind kind, unsigned id) {
  return Load(kind, MAKEINTRESOURCEA(id), "#" + std::to_string(id));
}

}  // namespace plat
