// An in-memory registry: the system registry of the native build and a test double on every
// target. Four roots, keys and values named without regard to case (as Windows compares them),
// values of any type stored as raw bytes, open handles with Win32-style result codes.
//
// For tests it counts flushes and open handles and can be told to fail chosen calls: by
// operation and name, or the N-th call of any kind, so that callers can be checked for clean
// failure on every path.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/RegistryBackend.h"

namespace plat {

namespace reg {
constexpr long kInvalidParameter = 87;
constexpr long kBadPathname = 161;
constexpr long kKeyDeleted = 1018;
}  // namespace reg

class MemoryRegistry : public RegistryBackend {
 public:
  // The operations a failure can be injected into. OpenKey is the full-access open and
  // OpenKeyRead the read-only one, so failing OpenKey alone stands for a key the user may
  // read but not write.
  enum class Op { OpenKey, OpenKeyRead, CreateKey, CloseKey, FlushKey, QueryValue, SetValue,
                  DeleteValue, EnumKey, DeleteKey };

  MemoryRegistry();
  ~MemoryRegistry() override;
  MemoryRegistry(const MemoryRegistry&) = delete;
  MemoryRegistry& operator=(const MemoryRegistry&) = delete;

  long OpenKey(RegKey parent, const std::string& subKey, RegKey& result) override;
  // Values cannot be set or deleted through the key it gives.
  long OpenKeyRead(RegKey parent, const std::string& subKey, RegKey& result) override;
  long CreateKey(RegKey parent, const std::string& subKey, RegKey& result) override;
  long CloseKey(RegKey key) override;
  long FlushKey(RegKey key) override;
  long QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                  std::vector<std::uint8_t>& data) override;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size) override;
  long DeleteValue(RegKey key, const std::string& name) override;
  long EnumKey(RegKey key, std::uint32_t index, std::string& name) override;
  long DeleteKey(RegKey parent, const std::string& subKey) override;

  // --- Inspection (tests) ---
  // Paths are "ROOT\a\b" relative to a root, compared without regard to case.
  bool KeyExists(RegKey root, const std::string& path) const;
  // False when the key or the value does not exist.
  bool GetValue(RegKey root, const std::string& path, const std::string& name,
                std::uint32_t& type, std::vector<std::uint8_t>& data) const;
  // Every key and value of the four roots, one per line in a fixed order: two dumps are equal
  // exactly when the registries hold the same keys and values.
  std::string Dump() const;
  // Full path of an open key as "HKEY_LOCAL_MACHINE\SOFTWARE\X", or "" for an unknown handle.
  std::string KeyPath(RegKey key) const;
  std::size_t OpenHandleCount() const { return handles_.size(); }
  // Flushes made in total, and of the key with the given full path.
  int FlushCount() const { return flushTotal_; }
  int FlushCount(const std::string& fullPath) const;
  // Calls of any kind made so far.
  long CallCount() const { return calls_; }

  // --- Fault injection (tests) ---
  // Every later call of the operation whose name matches (without regard to case) answers code.
  // For value operations the name is the value name; for key operations it is the full path of
  // the key acted on ("HKEY_CURRENT_USER\Software\X"). An empty name matches every call.
  void FailOn(Op op, const std::string& name, long code = reg::kAccessDenied);
  // The n-th call from now (1 = the next one) of any operation answers code; 0 switches it off.
  void FailCall(long n, long code = reg::kAccessDenied);
  void ClearFailures();

  // Forgets every key, value, handle and counter; the roots stay, empty.
  void Reset();

 private:
  struct Key;
  struct Value {
    std::uint32_t type = reg::kNone;
    std::vector<std::uint8_t> data;
  };
  struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
  };
  struct Key : std::enable_shared_from_this<Key> {
    std::string name;  // as created
    Key* parent = nullptr;  // cleared when the key is deleted
    bool deleted = false;
    std::map<std::string, std::shared_ptr<Key>, NoCaseLess> subkeys;
    std::map<std::string, Value, NoCaseLess> values;
  };
  struct Failure {
    Op op;
    std::string name;
    long code;
  };

  long Begin(Op op, const std::string& name);
  // The key behind a handle (an open one or a root); nullptr for an unknown handle.
  Key* Resolve(RegKey key) const;
  long Lookup(RegKey key, Key*& node) const;
  static long SplitPath(const std::string& path, std::vector<std::string>& parts);
  Key* Find(Key* from, const std::vector<std::string>& parts) const;
  long Open(Op op, RegKey parent, const std::string& subKey, RegKey& result);
  RegKey NewHandle(std::shared_ptr<Key> node);
  static std::string PathOf(const Key* node);
  static std::string Join(const std::string& base, const std::string& sub);

  std::map<RegKey, std::shared_ptr<Key>> roots_;
  std::map<RegKey, std::shared_ptr<Key>> handles_;
  std::set<RegKey> readOnlyHandles_;
  RegKey nextHandle_ = 0x100;
  std::map<std::string, int, NoCaseLess> flushes_;
  int flushTotal_ = 0;
  long calls_ = 0;
  std::vector<Failure> failures_;
  long failCallIn_ = 0;
  long failCallCode_ = reg::kAccessDenied;
};

}  // namespace plat
