// Simple MAPI through MAPI32.DLL. Whether MAPI is installed is decided once per process; only
// then is the library loaded, and it stays loaded until the process ends. MAPISendMail is
// looked up on first use and again on later calls while it has not been found.
//
// The library is loaded from the Windows system folder only: a bare name would be searched for
// in the program's own folder first, and a downloaded installer runs from a folder where anyone
// may have left a DLL of that name.
#include <windows.h>
#include <mapi.h>

#include "platform/Mail.h"
#include "platform/win32/MapiMessage.h"
#include "platform/win32/SystemLibrary.h"

namespace plat {

namespace {

// Windows versions above 3.51 record MAPI as the text "1" under the messaging key.
bool RegistryFlagInstalled() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, mapi::kMessagingKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  BYTE data[mapi::kFlagBytes] = {};
  DWORD size = sizeof data;
  DWORD type = 0;
  // A longer value answers ERROR_MORE_DATA and does not count.
  const LONG status = RegQueryValueExA(key, mapi::kFlagValue, nullptr, &type, data, &size);
  RegCloseKey(key);
  return status == ERROR_SUCCESS && size <= sizeof data && mapi::RegistryFlagSet(data, size);
}

bool MapiInstalled() {
  const DWORD version = GetVersion();
  const unsigned major = LOBYTE(LOWORD(version));
  const unsigned minor = HIBYTE(LOWORD(version));
  if (mapi::UsesRegistryFlag(major, minor)) return RegistryFlagInstalled();
  return GetProfileIntA(mapi::kProfileSection, mapi::kProfileEntry, 0) != 0;
}

HMODULE Library() {
  static const HMODULE library =
      MapiInstalled() ? win32::LoadSystemLibrary(mapi::kLibraryName) : nullptr;
  return library;
}

LPMAPISENDMAIL SendMailEntry() {
  static LPMAPISENDMAIL entry = nullptr;
  if (!entry) {
    if (HMODULE library = Library()) {
      // Through void*: a FARPROC cast straight to another function type draws a warning.
      entry = reinterpret_cast<LPMAPISENDMAIL>(
          reinterpret_cast<void*>(GetProcAddress(library, mapi::kSendMailName)));
    }
  }
  return entry;
}

}  // namespace

std::uint32_t NativeSendMail(WindowRef parent, const MailMessage& message, std::uint32_t flags) {
  const LPMAPISENDMAIL send = SendMailEntry();
  if (!send) return mapi::kUserAbort;
  win32::MapiMessageBlock block(message);
  return send(lhSessionNull, static_cast<ULONG_PTR>(parent.Native()), block.Get(), flags, 0);
}

}  // namespace plat
