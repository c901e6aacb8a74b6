// Loading a DLL from the Windows system folder only, never from the program's folder, the
// current folder or the PATH.
#pragma once

#include <windows.h>

namespace plat::win32 {

// The DLL of this file name in the system folder, loaded (its own dependencies searched there
// too), or null when it cannot be loaded; GetLastError() then says why.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace plat::win32
