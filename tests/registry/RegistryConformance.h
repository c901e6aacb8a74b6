// The registry back end's conformance suite (RegistryConformanceTest.cpp): what every
// implementation of plat::RegistryBackend must do alike, run on each one by instantiating
// RegistryConformance with it (the in-memory registry in MemoryRegistryTest.cpp, the Win32
// registry in tests/win32/Win32RegistryTest.cpp).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/RegistryBackend.h"

namespace registrytest {

struct RegistryImplementation {
  const char* name;
  // The back end for one case. A shared system registry is fine: every case works below a key
  // of its own, removed before and after.
  std::shared_ptr<plat::RegistryBackend> (*make)();
};

inline void PrintTo(const RegistryImplementation& implementation, std::ostream* out) {
  *out << implementation.name;
}

// A REG_SZ value's text: Win32's RegSetValueExA counts a terminating zero the caller left out
// when the byte after the data is one (as it is after a std::string's characters), so a text
// written without one may read back with one.
inline std::string Text(const std::string& bytes) {
  if (!bytes.empty() && bytes.back() == '\0') return bytes.substr(0, bytes.size() - 1);
  return bytes;
}

inline const std::uint8_t* Data(const std::string& bytes) {
  return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

class RegistryConformance : public ::testing::TestWithParam<RegistryImplementation> {
 protected:
  void SetUp() override {
    backend_ = GetParam().make();
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    key_ = "Software\\LumideskTests\\" + name.substr(0, name.find('/'));
    RemoveCaseKeys();
  }
  void TearDown() override { RemoveCaseKeys(); }
  void RemoveCaseKeys() {
    plat::RegistryAccess reg(*backend_);
    for (plat::RegKey root : {plat::kHKeyCurrentUser, plat::kHKeyLocalMachine}) {
      reg.SetRootKey(root);
      reg.DeleteKey("\\" + key_);
    }
  }

  plat::RegKey Create(plat::RegKey root, const std::string& path) {
    plat::RegKey key = 0;
    EXPECT_EQ(backend_->CreateKey(root, path, key), plat::reg::kSuccess) << path;
    return key;
  }
  void Put(plat::RegKey root, const std::string& path, const std::string& name,
           std::uint32_t type, const std::string& bytes) {
    const plat::RegKey key = Create(root, path);
    EXPECT_EQ(backend_->SetValue(key, name, type, Data(bytes), bytes.size()), plat::reg::kSuccess);
    backend_->CloseKey(key);
  }
  // Read through a key opened for reading; false when the key or value is missing.
  bool Get(plat::RegKey root, const std::string& path, const std::string& name,
           std::uint32_t& type, std::string& bytes) {
    plat::RegKey key = 0;
    if (backend_->OpenKeyRead(root, path, key) != plat::reg::kSuccess) return false;
    std::vector<std::uint8_t> data;
    const long rc = backend_->QueryValue(key, name, type, data);
    backend_->CloseKey(key);
    bytes.assign(data.begin(), data.end());
    return rc == plat::reg::kSuccess;
  }
  bool KeyExists(plat::RegKey root, const std::string& path) {
    plat::RegKey key = 0;
    if (backend_->OpenKeyRead(root, path, key) != plat::reg::kSuccess) return false;
    backend_->CloseKey(key);
    return true;
  }

  std::shared_ptr<plat::RegistryBackend> backend_;
  std::string key_;  // "Software\LumideskTests\<case>", below HKCU and HKLM
};

}  // namespace registrytest
