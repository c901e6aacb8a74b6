// The registry access object over a RegistryBackend. It mirrors what callers of a classic
// registry wrapper rely on: a root selected first, paths absolute ("\...") or relative to the
// current key, one current key at a time, closing with a flush when lazy writing is off.
#include "platform/Registry.h"

#include <vector>

#include "platform/Error.h"

namespace plat {

namespace {

[[noreturn]] void Fail(const char* format, const std::string& name) {
  std::string text = format;
  const std::size_t at = text.find("%s");
  text.replace(at, 2, name);
  throw Error(text);
}

constexpr char kSetFailed[] = "Failed to set data for '%s'";
constexpr char kGetFailed[] = "Failed to get data for '%s'";
constexpr char kInvalidType[] = "Invalid data type for '%s'";

}  // namespace

RegistryAccess::RegistryAccess(RegistryBackend& backend) : backend_(backend) {}

RegistryAccess::~RegistryAccess() { CloseKey(); }

void RegistryAccess::SetRootKey(RegKey root) {
  if (root == root_) return;
  CloseKey();
  root_ = root;
}

RegKey RegistryAccess::BaseFor(const std::string& path, std::string& relative) const {
  if (!path.empty() && path[0] == '\\') {
    relative = path.substr(1);
    return root_;
  }
  relative = path;
  return current_ != 0 ? current_ : root_;
}

bool RegistryAccess::OpenKey(const std::string& path, bool canCreate) {
  std::string relative;
  const RegKey base = BaseFor(path, relative);
  RegKey opened = 0;
  const long rc = canCreate ? backend_.CreateKey(base, relative, opened)
                            : backend_.OpenKey(base, relative, opened);
  if (rc != reg::kSuccess) return false;

  std::string newPath;
  if (base == current_ && current_ != 0 && !currentPath_.empty()) {
    newPath = relative.empty() ? currentPath_ : currentPath_ + "\\" + relative;
  } else {
    newPath = relative;
  }
  CloseKey();
  current_ = opened;
  currentPath_ = newPath;
  return true;
}

void RegistryAccess::CloseKey() {
  if (current_ == 0) return;
  if (!lazyWrite_) backend_.FlushKey(current_);
  backend_.CloseKey(current_);
  current_ = 0;
  currentPath_.clear();
}

void RegistryAccess::WriteString(const std::string& name, const std::string& value) {
  const RegKey key = current_ != 0 ? current_ : root_;
  const long rc = backend_.SetValue(key, name, reg::kSz,
                                    reinterpret_cast<const std::uint8_t*>(value.data()),
                                    value.size());
  if (rc != reg::kSuccess) Fail(kSetFailed, name);
}

std::string RegistryAccess::ReadString(const std::string& name) {
  const RegKey key = current_ != 0 ? current_ : root_;
  std::uint32_t type = reg::kNone;
  std::vector<std::uint8_t> data;
  const long rc = backend_.QueryValue(key, name, type, data);
  if (rc == reg::kFileNotFound) return std::string();
  if (rc != reg::kSuccess) Fail(kGetFailed, name);
  if (type != reg::kSz && type != reg::kExpandSz) Fail(kInvalidType, name);
  // Values written with or without a terminating zero read the same.
  std::size_t length = 0;
  while (length < data.size() && data[length] != 0) ++length;
  return std::string(reinterpret_cast<const char*>(data.data()), length);
}

bool RegistryAccess::ValueExists(const std::string& name) {
  const RegKey key = current_ != 0 ? current_ : root_;
  std::uint32_t type = reg::kNone;
  std::vector<std::uint8_t> data;
  return backend_.QueryValue(key, name, type, data) == reg::kSuccess;
}

void RegistryAccess::DeleteValue(const std::string& name) {
  const RegKey key = current_ != 0 ? current_ : root_;
  backend_.DeleteValue(key, name);  // a missing value is no error; callers test nothing else
}

namespace {

// Deletes subKey of base with everything below it, depth first. The names are gathered before
// any is deleted: deleting while enumerating by index would skip every other subkey.
bool DeleteTree(RegistryBackend& backend, RegKey base, const std::string& subKey) {
  RegKey key = 0;
  if (backend.OpenKey(base, subKey, key) == reg::kSuccess) {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t i = 0; backend.EnumKey(key, i, name) == reg::kSuccess; ++i) {
      names.push_back(name);
    }
    for (const std::string& sub : names) DeleteTree(backend, key, sub);
    backend.CloseKey(key);
  }
  return backend.DeleteKey(base, subKey) == reg::kSuccess;
}

}  // namespace

bool RegistryAccess::DeleteKey(const std::string& path) {
  std::string relative;
  const RegKey base = BaseFor(path, relative);
  // An empty path would name the root or the current key itself; neither is deleted this way.
  if (relative.empty()) return false;
  return DeleteTree(backend_, base, relative);
}

}  // namespace plat
