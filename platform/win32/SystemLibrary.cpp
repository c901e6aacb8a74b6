#include "platform/win32/SystemLibrary.h"

namespace plat::win32 {

HMODULE LoadSystemLibrary(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const UINT folder = GetSystemDirectoryW(path, MAX_PATH);
  if (folder == 0 || folder >= MAX_PATH) return nullptr;
  // The system folder ends in a backslash only when it is a drive's root.
  const size_t separator = path[folder - 1] == L'\\' ? 0 : 1;
  const size_t room = MAX_PATH - folder;
  const size_t length = static_cast<size_t>(lstrlenW(name));
  if (length >= room - separator) {  // the name and its terminator do not fit
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  if (separator) path[folder] = L'\\';
  lstrcpyW(path + folder + separator, name);
  // The full path names the file; the flag keeps the DLL's own dependencies to the system
  // folder as well.
  HMODULE module = LoadLibraryExW(path, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  // Windows without KB2533623 (Vista and 7 unpatched) knows no LOAD_LIBRARY_SEARCH flags; the
  // altered search path looks for the dependencies beside the DLL, in the system folder.
  if (!module && GetLastError() == ERROR_INVALID_PARAMETER)
    module = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return module;
}

}  // namespace plat::win32
