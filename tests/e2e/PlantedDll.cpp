// A DLL planted beside the installer under the name of a system DLL. Loading it leaves the
// marker file "<its path>.loaded", so a test sees that the installer, or a system DLL on its
// behalf, took it from the wrong folder. It exports what the stub has imported from such DLLs,
// so that a load through the import table succeeds and leaves its marker instead of stopping
// the program.
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t marker[MAX_PATH + 8];
  const DWORD n = GetModuleFileNameW(self, marker, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TRUE;
  lstrcpyW(marker + n, L".loaded");
  HANDLE file = CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}

// uxtheme.dll
__declspec(dllexport) HRESULT WINAPI SetWindowTheme(HWND, LPCWSTR, LPCWSTR) { return S_OK; }
// comctl32.dll
__declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) { return TRUE; }

}  // extern "C"
