// Restricting the DLL search of the whole process to the system folder, at its start.
#include <windows.h>

#include "platform/DllSearch.h"
#include "platform/win32/SystemLibrary.h"

namespace plat {

namespace {

// DLLs that system DLLs load by bare name, often from the program's folder (reported against
// installers and archivers of every kind, and listed by their fixes). Where the search cannot
// be restricted they are loaded from the system folder first, so that a later load by name
// finds the module already loaded. A name this Windows does not have is skipped. MAPI32.DLL is
// not among them: the mail layer loads it from the system folder when MAPI is installed.
constexpr const wchar_t* kPreloaded[] = {
    L"uxtheme.dll",  L"dwmapi.dll",   L"cryptbase.dll", L"propsys.dll",    L"userenv.dll",
    L"setupapi.dll", L"apphelp.dll",  L"oleacc.dll",    L"clbcatq.dll",    L"ntmarta.dll",
    L"profapi.dll",  L"version.dll",  L"mpr.dll",       L"netapi32.dll",   L"textshaping.dll",
    L"winhttp.dll",  L"urlmon.dll",   L"iertutil.dll",  L"winmm.dll",      L"secur32.dll",
    L"wininet.dll",  L"crypt32.dll",  L"wintrust.dll"};

template <class Function>
Function Kernel32Entry(const char* name) {
  // Through void*: a FARPROC cast straight to another function type draws a warning.
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

// Vista and Server 2008 (6.0) cannot create the shell link object once default DLL
// directories are set, even with KB2533623; the installer makes its shortcuts that way.
bool IsVista() {
  const DWORD version = GetVersion();
  return LOBYTE(LOWORD(version)) == 6 && HIBYTE(LOWORD(version)) == 0;
}

}  // namespace

void RestrictDllSearch() {
  // Windows 8 and later, and 7 with KB2533623; looked up, as a static import would stop the
  // program from starting without it.
  const auto setDefaultDirectories =
      Kernel32Entry<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories");
  const bool restricted = setDefaultDirectories && !IsVista() &&
                          setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!restricted) {
    // Takes the current folder out of the search; the program's folder stays in it.
    SetDllDirectoryA("");
    for (const wchar_t* name : kPreloaded) win32::LoadSystemLibrary(name);
  }
  // Looked up as well: not every release the installer runs on has it.
  if (const auto setSearchPathMode = Kernel32Entry<BOOL(WINAPI*)(DWORD)>("SetSearchPathMode"))
    setSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

}  // namespace plat
