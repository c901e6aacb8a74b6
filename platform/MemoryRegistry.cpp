// The in-memory registry. Keys are shared between the tree and the handles that refer to them,
// so a key deleted while a handle is open stays valid memory and answers "key deleted", as the
// Windows registry does.
#include "platform/MemoryRegistry.h"

#include <cstring>
#include <functional>

namespace plat {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

const char* RootName(RegKey root) {
  switch (root) {
    case kHKeyClassesRoot: return "HKEY_CLASSES_ROOT";
    case kHKeyCurrentUser: return "HKEY_CURRENT_USER";
    case kHKeyLocalMachine: return "HKEY_LOCAL_MACHINE";
    case kHKeyUsers: return "HKEY_USERS";
    default: return "";
  }
}

}  // namespace

bool MemoryRegistry::NoCaseLess::operator()(const std::string& a, const std::string& b) const {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char ca = static_cast<unsigned char>(Lower(a[i]));
    const unsigned char cb = static_cast<unsigned char>(Lower(b[i]));
    if (ca != cb) return ca < cb;
  }
  return a.size() < b.size();
}

MemoryRegistry::MemoryRegistry() { Reset(); }

MemoryRegistry::~MemoryRegistry() = default;

void MemoryRegistry::Reset() {
  roots_.clear();
  for (RegKey root : {kHKeyClassesRoot, kHKeyCurrentUser, kHKeyLocalMachine, kHKeyUsers}) {
    auto node = std::make_shared<Key>();
    node->name = RootName(root);
    roots_[root] = node;
  }
  handles_.clear();
  readOnlyHandles_.clear();
  flushes_.clear();
  flushTotal_ = 0;
  calls_ = 0;
  ClearFailures();
}

void MemoryRegistry::FailOn(Op op, const std::string& name, long code) {
  failures_.push_back({op, name, code});
}

void MemoryRegistry::FailCall(long n, long code) {
  failCallIn_ = n;
  failCallCode_ = code;
}

void MemoryRegistry::ClearFailures() {
  failures_.clear();
  failCallIn_ = 0;
}

long MemoryRegistry::Begin(Op op, const std::string& name) {
  ++calls_;
  if (failCallIn_ > 0 && --failCallIn_ == 0) return failCallCode_;
  for (const Failure& f : failures_) {
    if (f.op == op && (f.name.empty() || SameNoCase(f.name, name))) return f.code;
  }
  return reg::kSuccess;
}

MemoryRegistry::Key* MemoryRegistry::Resolve(RegKey key) const {
  auto root = roots_.find(key);
  if (root != roots_.end()) return root->second.get();
  auto open = handles_.find(key);
  return open != handles_.end() ? open->second.get() : nullptr;
}

long MemoryRegistry::Lookup(RegKey key, Key*& node) const {
  node = Resolve(key);
  if (node == nullptr) return reg::kInvalidHandle;
  if (node->deleted) return reg::kKeyDeleted;
  return reg::kSuccess;
}

long MemoryRegistry::SplitPath(const std::string& path, std::vector<std::string>& parts) {
  parts.clear();
  if (path.empty()) return reg::kSuccess;
  if (path[0] == '\\') return reg::kBadPathname;
  // Separators in a row count as one and trailing ones are ignored, as Windows parses key paths.
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return reg::kSuccess;
}

MemoryRegistry::Key* MemoryRegistry::Find(Key* from, const std::vector<std::string>& parts) const {
  Key* node = from;
  for (const std::string& part : parts) {
    auto it = node->subkeys.find(part);
    if (it == node->subkeys.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

RegKey MemoryRegistry::NewHandle(std::shared_ptr<Key> node) {
  const RegKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = std::move(node);
  return handle;
}

std::string MemoryRegistry::PathOf(const Key* node) {
  std::string path = node->name;
  for (const Key* p = node->parent; p != nullptr; p = p->parent) path = p->name + "\\" + path;
  return path;
}

std::string MemoryRegistry::Join(const std::string& base, const std::string& sub) {
  if (sub.empty()) return base;
  if (base.empty()) return sub;
  return base + "\\" + sub;
}

std::string MemoryRegistry::KeyPath(RegKey key) const {
  const Key* node = Resolve(key);
  return node != nullptr ? PathOf(node) : std::string();
}

long MemoryRegistry::Open(Op op, RegKey parent, const std::string& subKey, RegKey& result) {
  if (long rc = Begin(op, Join(KeyPath(parent), subKey))) return rc;
  Key* base = nullptr;
  if (long rc = Lookup(parent, base)) return rc;
  std::vector<std::string> parts;
  if (long rc = SplitPath(subKey, parts)) return rc;
  Key* node = Find(base, parts);
  if (node == nullptr) return reg::kFileNotFound;
  result = NewHandle(node->shared_from_this());
  if (op == Op::OpenKeyRead) readOnlyHandles_.insert(result);
  return reg::kSuccess;
}

long MemoryRegistry::OpenKey(RegKey parent, const std::string& subKey, RegKey& result) {
  return Open(Op::OpenKey, parent, subKey, result);
}

long MemoryRegistry::OpenKeyRead(RegKey parent, const std::string& subKey, RegKey& result) {
  return Open(Op::OpenKeyRead, parent, subKey, result);
}

long MemoryRegistry::CreateKey(RegKey parent, const std::string& subKey, RegKey& result) {
  if (long rc = Begin(Op::CreateKey, Join(KeyPath(parent), subKey))) return rc;
  Key* node = nullptr;
  // No check of the parent handle's access: Windows ignores it and checks only the rights on
  // the keys themselves.
  if (long rc = Lookup(parent, node)) return rc;
  std::vector<std::string> parts;
  if (long rc = SplitPath(subKey, parts)) return rc;
  for (const std::string& part : parts) {
    auto& slot = node->subkeys[part];
    if (!slot) {
      slot = std::make_shared<Key>();
      slot->name = part;
      slot->parent = node;
    }
    node = slot.get();
  }
  result = NewHandle(node->shared_from_this());
  return reg::kSuccess;
}

long MemoryRegistry::CloseKey(RegKey key) {
  // An injected failure still releases the handle: a caller has no way to retry a close, and
  // the tests that inject it check for leaks afterwards.
  const long injected = Begin(Op::CloseKey, KeyPath(key));
  if (roots_.count(key) != 0) return injected;  // predefined keys are never closed
  const bool known = handles_.erase(key) != 0;
  readOnlyHandles_.erase(key);
  if (injected != reg::kSuccess) return injected;
  return known ? reg::kSuccess : reg::kInvalidHandle;
}

long MemoryRegistry::FlushKey(RegKey key) {
  if (long rc = Begin(Op::FlushKey, KeyPath(key))) return rc;
  Key* node = nullptr;
  if (long rc = Lookup(key, node)) return rc;
  ++flushes_[PathOf(node)];
  ++flushTotal_;
  return reg::kSuccess;
}

int MemoryRegistry::FlushCount(const std::string& fullPath) const {
  auto it = flushes_.find(fullPath);
  return it != flushes_.end() ? it->second : 0;
}

long MemoryRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t& type,
                                std::vector<std::uint8_t>& data) {
  if (long rc = Begin(Op::QueryValue, name)) return rc;
  Key* node = nullptr;
  if (long rc = Lookup(key, node)) return rc;
  auto it = node->values.find(name);
  if (it == node->values.end()) return reg::kFileNotFound;
  type = it->second.type;
  data = it->second.data;
  return reg::kSuccess;
}

long MemoryRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                              const std::uint8_t* data, std::size_t size) {
  if (long rc = Begin(Op::SetValue, name)) return rc;
  Key* node = nullptr;
  if (long rc = Lookup(key, node)) return rc;
  if (readOnlyHandles_.count(key) != 0) return reg::kAccessDenied;
  if (data == nullptr && size != 0) return reg::kInvalidParameter;
  Value& value = node->values[name];
  value.type = type;
  value.data.assign(data, data + size);
  return reg::kSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
  if (long rc = Begin(Op::DeleteValue, name)) return rc;
  Key* node = nullptr;
  if (long rc = Lookup(key, node)) return rc;
  if (readOnlyHandles_.count(key) != 0) return reg::kAccessDenied;
  return node->values.erase(name) != 0 ? reg::kSuccess : reg::kFileNotFound;
}

long MemoryRegistry::EnumKey(RegKey key, std::uint32_t index, std::string& name) {
  if (long rc = Begin(Op::EnumKey, KeyPath(key))) return rc;
  Key* node = nullptr;
  if (long rc = Lookup(key, node)) return rc;
  if (index >= node->subkeys.size()) return reg::kNoMoreItems;
  auto it = node->subkeys.begin();
  std::advance(it, index);
  name = it->second->name;
  return reg::kSuccess;
}

long MemoryRegistry::DeleteKey(RegKey parent, const std::string& subKey) {
  if (long rc = Begin(Op::DeleteKey, Join(KeyPath(parent), subKey))) return rc;
  Key* base = nullptr;
  if (long rc = Lookup(parent, base)) return rc;
  std::vector<std::string> parts;
  if (long rc = SplitPath(subKey, parts)) return rc;
  Key* node = Find(base, parts);  // "" names the key itself, as for RegDeleteKeyA
  if (node == nullptr) return reg::kFileNotFound;
  if (node->parent == nullptr) return reg::kAccessDenied;  // a root
  if (!node->subkeys.empty()) return reg::kAccessDenied;  // as RegDeleteKeyA on Windows NT
  // A handle may keep the key alive after its parent is gone: it forgets the parent and keeps
  // its full path as its name.
  std::shared_ptr<Key> keep = node->shared_from_this();
  Key* from = node->parent;
  const std::string name = node->name;
  node->name = PathOf(node);
  node->parent = nullptr;
  node->deleted = true;
  from->subkeys.erase(name);
  return reg::kSuccess;
}

std::string MemoryRegistry::Dump() const {
  std::string out;
  std::function<void(const Key*)> dump = [&](const Key* key) {
    const std::string path = PathOf(key);
    out += path + "\n";
    for (const auto& v : key->values) {
      out += path + " [" + v.first + "] " + std::to_string(v.second.type) + ":" +
             std::string(v.second.data.begin(), v.second.data.end()) + "\n";
    }
    for (const auto& sub : key->subkeys) dump(sub.second.get());
  };
  for (const auto& root : roots_) dump(root.second.get());
  return out;
}

bool MemoryRegistry::KeyExists(RegKey root, const std::string& path) const {
  const Key* base = Resolve(root);
  std::vector<std::string> parts;
  if (base == nullptr || SplitPath(path, parts) != reg::kSuccess) return false;
  return Find(const_cast<Key*>(base), parts) != nullptr;
}

bool MemoryRegistry::GetValue(RegKey root, const std::string& path, const std::string& name,
                              std::uint32_t& type, std::vector<std::uint8_t>& data) const {
  const Key* base = Resolve(root);
  std::vector<std::string> parts;
  if (base == nullptr || SplitPath(path, parts) != reg::kSuccess) return false;
  const Key* node = Find(const_cast<Key*>(base), parts);
  if (node == nullptr) return false;
  auto it = node->values.find(name);
  if (it == node->values.end()) return false;
  type = it->second.type;
  data = it->second.data;
  return true;
}

}  // namespace plat
