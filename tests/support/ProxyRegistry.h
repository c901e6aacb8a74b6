// The base of every test registry that wraps another one, as ProxyFileSystem is for the file
// layer: it passes each call to the inner registry unchanged, so that a decorator overrides only
// the calls it watches or changes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"

namespace testsupport {

class ProxyRegistry : public plat::RegistryBackend {
 public:
  explicit ProxyRegistry(plat::RegistryBackend& inner) : inner_(inner) {}

  long OpenKey(plat::RegKey parent, const std::string& subKey, plat::RegKey& result) override {
    return inner_.OpenKey(parent, subKey, result);
  }
  long OpenKeyRead(plat::RegKey parent, const std::string& subKey,
                   plat::RegKey& result) override {
    return inner_.OpenKeyRead(parent, subKey, result);
  }
  long CreateKey(plat::RegKey parent, const std::string& subKey, plat::RegKey& result) override {
    return inner_.CreateKey(parent, subKey, result);
  }
  long CloseKey(plat::RegKey key) override { return inner_.CloseKey(key); }
  long FlushKey(plat::RegKey key) override { return inner_.FlushKey(key); }
  long QueryValue(plat::RegKey key, const std::string& name, std::uint32_t& type,
                  std::vector<std::uint8_t>& data) override {
    return inner_.QueryValue(key, name, type, data);
  }
  long SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size) override {
    return inner_.SetValue(key, name, type, data, size);
  }
  long DeleteValue(plat::RegKey key, const std::string& name) override {
    return inner_.DeleteValue(key, name);
  }
  long EnumKey(plat::RegKey key, std::uint32_t index, std::string& name) override {
    return inner_.EnumKey(key, index, name);
  }
  long DeleteKey(plat::RegKey parent, const std::string& subKey) override {
    return inner_.DeleteKey(parent, subKey);
  }

 protected:
  plat::RegistryBackend& Inner() { return inner_; }

 private:
  plat::RegistryBackend& inner_;
};

}  // namespace testsupport
