// The signature check through WinVerifyTrust. wintrust.dll is no KnownDLL, so it is loaded from
// the system folder by full path, for the one call, and looked up at run time: the installer
// imports nothing from it statically.
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

#include "platform/FileSignature.h"
#include "platform/win32/SystemLibrary.h"

namespace plat {

namespace {

using WinVerifyTrustFunction = LONG(WINAPI*)(HWND, GUID*, LPVOID);

bool InRange(HRESULT r, std::uint32_t first, std::uint32_t last) {
  const auto code = static_cast<std::uint32_t>(r);
  return code >= first && code <= last;
}

SignatureState Classify(HRESULT r) {
  if (r == S_OK) return SignatureState::kMatches;
  // The digest differs, or the signature's encoding cannot be read: the bytes were changed.
  if (r == TRUST_E_BAD_DIGEST || r == CRYPT_E_BAD_MSG || r == CRYPT_E_BAD_ENCODE ||
      r == CRYPT_E_UNEXPECTED_MSG_TYPE || r == CRYPT_E_MSG_ERROR ||
      InRange(r, 0x80093100u, 0x800932FFu)) {  // CRYPT_E_ASN1_ERROR to CRYPT_E_ASN1_NOEOD
    return SignatureState::kMismatch;
  }
  if (r == TRUST_E_NOSIGNATURE || r == TRUST_E_SUBJECT_FORM_UNKNOWN) {
    return SignatureState::kNotFound;
  }
  return SignatureState::kNotConfirmed;
}

}  // namespace

SignatureVerdict NativeCheckFileSignature(const std::string& path) {
  SignatureVerdict verdict;
  // The path as the program's own file layer names it: in the ANSI code page, at most MAX_PATH
  // characters. A plain buffer, since std::wstring would add some 35 KB to the installer.
  wchar_t wide[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) == 0) return verdict;
  // Nothing between loading and freeing the library can throw.
  const HMODULE wintrust = win32::LoadSystemLibrary(L"wintrust.dll");
  if (!wintrust) return verdict;
  // Through void*: a FARPROC cast straight to another function type draws a warning.
  const auto verify = reinterpret_cast<WinVerifyTrustFunction>(
      reinterpret_cast<void*>(GetProcAddress(wintrust, "WinVerifyTrust")));
  if (verify) {
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = wide;
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_IGNORE;  // no state kept, so none to close
    data.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    // INVALID_HANDLE_VALUE as the window: there is no user to ask anything.
    const LONG result = verify(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    verdict.state = Classify(static_cast<HRESULT>(result));
    verdict.code = static_cast<std::uint32_t>(result);
  }
  FreeLibrary(wintrust);
  return verdict;
}

}  // namespace plat
