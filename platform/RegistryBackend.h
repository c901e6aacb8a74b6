// The registry back end: the handful of registry calls the system makes, with Win32 result
// codes (0 = success). Win32: the Reg*A functions. Native: an in-memory registry
// (MemoryRegistry.h), which tests also use on Win32 when they must not touch the real one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

// An open key. The four roots carry the values of the predefined Windows keys.
using RegKey = std::uintptr_t;
constexpr RegKey kHKeyClassesRoot = 0x80000000u;
constexpr RegKey kHKeyCurrentUser = 0x80000001u;
constexpr RegKey kHKeyLocalMachine = 0x80000002u;
constexpr RegKey kHKeyUsers = 0x80000003u;
constexpr bool IsRootKey(RegKey key) {
  return key == kHKeyClassesRoot || key == kHKeyCurrentUser || key == kHKeyLocalMachine ||
         key == kHKeyUsers;
}

namespace reg {
constexpr std::uint32_t kNone = 0;
constexpr std::uint32_t kSz = 1;
constexpr std::uint32_t kExpandSz = 2;
constexpr std::uint32_t kBinary = 3;
constexpr std::uint32_t kDword = 4;

constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kAccessDenied = 5;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;
constexpr long kNoMoreItems = 259;
}  // namespace reg

class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;

  // Subkey paths never begin with "\"; separators in a row count as one, trailing ones are
  // ignored.
  // Opens an existing subkey ("" reopens the key itself) with full access.
  virtual long OpenKey(RegKey parent, const std::string& subKey, RegKey& result) = 0;
  // The same for reading only (KEY_READ): it succeeds where the user may read the key but not
  // write it, and setting or deleting values through the key it gives fails with
  // kAccessDenied. Subkeys may still be created below it: Windows checks the rights on the keys
  // themselves, not the access of the handle they are named from.
  virtual long OpenKeyRead(RegKey parent, const std::string& subKey, RegKey& result) = 0;
  // Opens or creates the subkey and every missing parent, full access.
  virtual long CreateKey(RegKey parent, const std::string& subKey, RegKey& result) = 0;
  virtual long CloseKey(RegKey key) = 0;
  virtual long FlushKey(RegKey key) = 0;
  // kFileNotFound when the value does not exist.
  virtual long QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                          std::vector<std::uint8_t>& data) = 0;
  virtual long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                        const std::uint8_t* data, std::size_t size) = 0;
  virtual long DeleteValue(RegKey key, const std::string& name) = 0;
  // Name of the index-th subkey; kNoMoreItems past the last.
  virtual long EnumKey(RegKey key, std::uint32_t index, std::string& name) = 0;
  // Deletes a subkey that has no subkeys of its own; "" deletes the key itself (never a root).
  virtual long DeleteKey(RegKey parent, const std::string& subKey) = 0;
};

// The system's registry: the Win32 registry, or on native a process-wide in-memory registry.
RegistryBackend& SystemRegistry();

}  // namespace plat
