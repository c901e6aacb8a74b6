// The journalled layers of the shell-integration component.
#include "wizard/JournaledLayers.h"

#include <vector>

namespace wizard {

namespace {

std::string WithoutLeadingBackslashes(const std::string& path) {
  const std::size_t start = path.find_first_not_of('\\');
  return start == std::string::npos ? std::string() : path.substr(start);
}

class JournaledLinkFile : public plat::ShellLinkFile {
 public:
  JournaledLinkFile(std::unique_ptr<plat::ShellLinkFile> inner, const TransactionSlot& slot)
      : inner_(std::move(inner)), slot_(slot) {}
  plat::ShellResult Save(const std::string& path, bool remember) override {
    InstallTransaction* tx = slot_.Active();
    if (tx != nullptr && !tx->BeforeLinkSave(path)) return plat::ShellResult::kFailed;
    return inner_->Save(path, remember);
  }

 private:
  std::unique_ptr<plat::ShellLinkFile> inner_;
  const TransactionSlot& slot_;
};

class JournaledLink : public plat::ShellLink {
 public:
  JournaledLink(std::unique_ptr<plat::ShellLink> inner, const TransactionSlot& slot)
      : inner_(std::move(inner)), slot_(slot) {}
  plat::ShellResult SetPath(const std::string& target) override { return inner_->SetPath(target); }
  plat::ShellResult SetDescription(const std::string& description) override {
    return inner_->SetDescription(description);
  }
  plat::ShellResult SetShowCmd(plat::ShowCommand showCmd) override {
    return inner_->SetShowCmd(showCmd);
  }
  plat::ShellResult QueryPersistFile(std::unique_ptr<plat::ShellLinkFile>& file) override {
    std::unique_ptr<plat::ShellLinkFile> inner;
    const plat::ShellResult result = inner_->QueryPersistFile(inner);
    file.reset(inner ? new JournaledLinkFile(std::move(inner), slot_) : nullptr);
    return result;
  }

 private:
  std::unique_ptr<plat::ShellLink> inner_;
  const TransactionSlot& slot_;
};

}  // namespace

bool JournaledFiles::CreateDir(const std::string& path) {
  InstallTransaction* tx = slot_.Active();
  if (tx == nullptr) return ForwardingFileSystem::CreateDir(path);
  // As CreateDir answers: false for a folder that is there already.
  return !DirectoryExists(path) && tx->MakeFolder(path);
}

bool JournaledFiles::ForceDirectories(const std::string& path) {
  InstallTransaction* tx = slot_.Active();
  return tx == nullptr ? ForwardingFileSystem::ForceDirectories(path) : tx->MakeFolders(path);
}

plat::ShellResult JournaledShell::CreateShellLink(std::unique_ptr<plat::ShellLink>& link) {
  std::unique_ptr<plat::ShellLink> inner;
  const plat::ShellResult result = inner_.CreateShellLink(inner);
  link.reset(inner ? new JournaledLink(std::move(inner), slot_) : nullptr);
  return result;
}

bool JournaledRegistry::Locate(plat::RegKey parent, const std::string& subKey,
                               KeyPath& place) const {
  const std::string sub = WithoutLeadingBackslashes(subKey);
  if (plat::IsRootKey(parent)) {
    place = {parent, sub};
    return true;
  }
  const KeyPath* found = Find(parent);
  if (found == nullptr) return false;
  place = *found;
  if (!sub.empty()) place.second = place.second.empty() ? sub : place.second + "\\" + sub;
  return true;
}

const JournaledRegistry::KeyPath* JournaledRegistry::Find(plat::RegKey key) const {
  for (const auto& k : keys_)
    if (k.first == key) return &k.second;
  return nullptr;
}

long JournaledRegistry::Remember(long result, const KeyPath& place, bool known,
                                 const plat::RegKey& key) {
  if (result == plat::reg::kSuccess && known) keys_.emplace_back(key, place);
  return result;
}

long JournaledRegistry::OpenKey(plat::RegKey parent, const std::string& subKey,
                                plat::RegKey& result) {
  KeyPath place;
  const bool known = Locate(parent, subKey, place);
  const long rc = ForwardingRegistry::OpenKey(parent, subKey, result);
  return Remember(rc, place, known, result);
}

long JournaledRegistry::OpenKeyRead(plat::RegKey parent, const std::string& subKey,
                                    plat::RegKey& result) {
  KeyPath place;
  const bool known = Locate(parent, subKey, place);
  const long rc = ForwardingRegistry::OpenKeyRead(parent, subKey, result);
  return Remember(rc, place, known, result);
}

long JournaledRegistry::CreateKey(plat::RegKey parent, const std::string& subKey,
                                  plat::RegKey& result) {
  KeyPath place;
  const bool known = Locate(parent, subKey, place);
  InstallTransaction* tx = slot_.Active();
  if (tx != nullptr && known) {
    // Each level the call is about to make, outermost first.
    std::vector<std::string> missing;
    std::string path = place.second;
    while (!path.empty()) {
      plat::RegKey probe = 0;
      if (ForwardingRegistry::OpenKeyRead(place.first, path, probe) == plat::reg::kSuccess) {
        ForwardingRegistry::CloseKey(probe);
        break;
      }
      missing.insert(missing.begin(), path);
      const std::size_t cut = path.find_last_of('\\');
      path = cut == std::string::npos ? std::string() : path.substr(0, cut);
    }
    for (const std::string& level : missing)
      if (!tx->BeforeCreateKey(place.first, level)) return plat::reg::kAccessDenied;
  }
  const long rc = ForwardingRegistry::CreateKey(parent, subKey, result);
  return Remember(rc, place, known, result);
}

long JournaledRegistry::CloseKey(plat::RegKey key) {
  for (auto it = keys_.begin(); it != keys_.end(); ++it) {
    if (it->first == key) {
      keys_.erase(it);
      break;
    }
  }
  return ForwardingRegistry::CloseKey(key);
}

long JournaledRegistry::SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                                 const std::uint8_t* data, std::size_t size) {
  InstallTransaction* tx = slot_.Active();
  const KeyPath* place = Find(key);
  if (tx != nullptr && place != nullptr) {
    std::uint32_t oldType = 0;
    std::vector<std::uint8_t> old;
    const bool existed =
        ForwardingRegistry::QueryValue(key, name, oldType, old) == plat::reg::kSuccess;
    if (!tx->BeforeSetValue(place->first, place->second, name, existed, oldType,
                            existed ? old : std::vector<std::uint8_t>())) {
      return plat::reg::kAccessDenied;
    }
  }
  return ForwardingRegistry::SetValue(key, name, type, data, size);
}

}  // namespace wizard
