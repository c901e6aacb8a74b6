// The registry access object: one per operation, created and released by the caller. It keeps a
// root, a current key with its path, and the lazy-write switch; every caller in this system
// selects a root first, uses absolute key paths and turns lazy writing off, so closing a key
// flushes it. Registry errors are plat::Error exceptions with the texts below.
#pragma once

#include <string>

#include "platform/RegistryBackend.h"

namespace plat {

class RegistryAccess {
 public:
  explicit RegistryAccess(RegistryBackend& backend = SystemRegistry());
  ~RegistryAccess();  // closes the current key
  RegistryAccess(const RegistryAccess&) = delete;
  RegistryAccess& operator=(const RegistryAccess&) = delete;

  RegKey RootKey() const { return root_; }
  // Closes the current key when the root changes.
  void SetRootKey(RegKey root);
  bool LazyWrite() const { return lazyWrite_; }
  void SetLazyWrite(bool on) { lazyWrite_ = on; }

  RegKey CurrentKey() const { return current_; }  // 0 when none
  const std::string& CurrentPath() const { return currentPath_; }

  // A path beginning with "\" is taken from the root; any other from the current key when one
  // is open, otherwise from the root. On success the previous key is closed and the new one is
  // current; on failure nothing changes.
  bool OpenKey(const std::string& path, bool canCreate);
  // Flushes (lazy writing off) and releases the current key.
  void CloseKey();

  // REG_SZ without a terminating zero. Throws "Failed to set data for '<name>'".
  void WriteString(const std::string& name, const std::string& value);
  // Missing value: "". Throws "Invalid data type for '<name>'" for types other than REG_SZ and
  // REG_EXPAND_SZ and "Failed to get data for '<name>'" when the read fails. The text ends at
  // its first zero byte.
  std::string ReadString(const std::string& name);
  bool ValueExists(const std::string& name);
  // A missing value is no error.
  void DeleteValue(const std::string& name);
  // Deletes the key and all its subkeys, depth first; path rules as for OpenKey. The current
  // key stays current.
  bool DeleteKey(const std::string& path);

 private:
  RegKey BaseFor(const std::string& path, std::string& relative) const;

  RegistryBackend& backend_;
  RegKey root_ = kHKeyCurrentUser;
  RegKey current_ = 0;
  std::string currentPath_;
  bool lazyWrite_ = true;
};

}  // namespace plat
