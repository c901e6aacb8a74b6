// System DLLs by full path, built from GetSystemDirectoryW.
#include "platform/win32/SystemLibrary.h"

#include <cwchar>

namespace plat::win32 {

HMODULE LoadSystemLibrary(const wchar_t* name) {
  // Plain buffers rather than std::wstring, whose instantiation would add some 35 KB to the
  // installer.
  wchar_t path[MAX_PATH + 64];
  const UINT length = GetSystemDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::size_t at = length;
  if (path[at - 1] != L'\\') path[at++] = L'\\';
  const std::size_t nameLength = std::wcslen(name);
  if (nameLength >= sizeof path / sizeof path[0] - at) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  std::wmemcpy(path + at, name, nameLength + 1);
  // LOAD_WITH_ALTERED_SEARCH_PATH: with an absolute path, the library's dependencies are
  // searched for in its own folder first instead of the program's.
  return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace plat::win32
