// The registry back end on the Win32 registry functions, with full access on every key opened
// or created, except the read-only opens. Result codes are passed through unchanged.
#include "platform/RegistryBackend.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace plat {
namespace {

// Our root constants carry the 32-bit values of the predefined keys. A 64-bit HKEY sign-extends
// them (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 there), so the roots are mapped explicitly;
// every other key is a handle the registry gave us.
HKEY ToHkey(RegKey key) {
  switch (key) {
    case kHKeyClassesRoot: return HKEY_CLASSES_ROOT;
    case kHKeyCurrentUser: return HKEY_CURRENT_USER;
    case kHKeyLocalMachine: return HKEY_LOCAL_MACHINE;
    case kHKeyUsers: return HKEY_USERS;
    default: return reinterpret_cast<HKEY>(key);
  }
}

RegKey FromHkey(HKEY key) { return reinterpret_cast<RegKey>(key); }

// Key names are at most 255 characters.
constexpr DWORD kMaxKeyName = 256;

class Win32Registry : public RegistryBackend {
 public:
  long OpenKey(RegKey parent, const std::string& subKey, RegKey& result) override {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, KEY_ALL_ACCESS, &key);
    if (status == ERROR_SUCCESS) result = FromHkey(key);
    return status;
  }

  long OpenKeyRead(RegKey parent, const std::string& subKey, RegKey& result) override {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(ToHkey(parent), subKey.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) result = FromHkey(key);
    return status;
  }

  long CreateKey(RegKey parent, const std::string& subKey, RegKey& result) override {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG status =
        RegCreateKeyExA(ToHkey(parent), subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (status == ERROR_SUCCESS) result = FromHkey(key);
    return status;
  }

  // The predefined roots are never closed: they stay valid for the whole process.
  long CloseKey(RegKey key) override {
    if (IsRootKey(key)) return ERROR_SUCCESS;
    return RegCloseKey(ToHkey(key));
  }

  long FlushKey(RegKey key) override { return RegFlushKey(ToHkey(key)); }

  long QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                  std::vector<std::uint8_t>& data) override {
    // The value may grow between asking its size and reading it: ask again then.
    for (int attempt = 0; attempt < 8; ++attempt) {
      DWORD valueType = REG_NONE;
      DWORD size = 0;
      LONG status =
          RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType, nullptr, &size);
      if (status != ERROR_SUCCESS) return status;
      data.assign(size, 0);
      status = RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &valueType,
                                data.empty() ? nullptr : data.data(), &size);
      if (status == ERROR_MORE_DATA) continue;
      if (status != ERROR_SUCCESS) return status;
      if (size < data.size()) data.resize(size);
      type = valueType;
      return ERROR_SUCCESS;
    }
    return ERROR_MORE_DATA;
  }

  long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size) override {
    if (size > 0xFFFFFFFFu) return ERROR_INVALID_PARAMETER;
    // Some versions refuse a null data pointer even for no bytes.
    static const BYTE kNothing = 0;
    const BYTE* bytes = (data != nullptr) ? data : &kNothing;
    return RegSetValueExA(ToHkey(key), name.c_str(), 0, type, bytes, static_cast<DWORD>(size));
  }

  long DeleteValue(RegKey key, const std::string& name) override {
    return RegDeleteValueA(ToHkey(key), name.c_str());
  }

  long EnumKey(RegKey key, std::uint32_t index, std::string& name) override {
    char buffer[kMaxKeyName];
    DWORD length = kMaxKeyName;
    const LONG status =
        RegEnumKeyExA(ToHkey(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) name.assign(buffer, length);
    return status;
  }

  long DeleteKey(RegKey parent, const std::string& subKey) override {
    return RegDeleteKeyA(ToHkey(parent), subKey.c_str());
  }
};

}  // namespace

RegistryBackend& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

}  // namespace plat
