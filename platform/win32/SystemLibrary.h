// Loading a system DLL from the Windows system folder only. A bare name is searched for in the
// program's own folder first, and a downloaded installer runs from a folder where anyone may
// have left a DLL of that name; KnownDLLs are exempt, the others are not.
#pragma once

#include <windows.h>

namespace plat::win32 {

// Loads name (e.g. L"wintrust.dll") by its full path in the system folder; the library's own
// dependencies are then looked for beside it rather than in the program's folder. Returns the
// module, or null with GetLastError() set. The caller frees it with FreeLibrary.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace plat::win32
