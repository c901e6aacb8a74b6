// The layers through which the shell-integration component saves its links, makes its group
// folders and writes its registrations. They pass every call on; while an installation run's
// transaction is active they first journal each change it is about to make
// (InstallTransaction.h), so that a failed run removes the links, folders and registry entries
// it made and puts back the ones it replaced. The component itself is unchanged: it is simply
// given these layers instead of the platform's.
#pragma once

#include <cstdint>
#include <vector>
#include <memory>
#include <string>
#include <utility>

#include "platform/Forwarding.h"
#include "platform/Shell.h"
#include "wizard/InstallTransaction.h"

namespace wizard {

// The transaction that is running now, if any: set by the installation run for its length.
struct TransactionSlot {
  InstallTransaction* current = nullptr;
  InstallTransaction* Active() const {
    return current != nullptr && current->Active() ? current : nullptr;
  }
};

class JournaledFiles : public plat::ForwardingFileSystem {
 public:
  JournaledFiles(plat::FileSystem& inner, const TransactionSlot& slot)
      : ForwardingFileSystem(inner), slot_(slot) {}
  bool CreateDir(const std::string& path) override;
  bool ForceDirectories(const std::string& path) override;

 private:
  const TransactionSlot& slot_;
};

class JournaledShell : public plat::Shell {
 public:
  JournaledShell(plat::Shell& inner, const TransactionSlot& slot) : inner_(inner), slot_(slot) {}
  bool SpecialFolderPath(plat::SpecialFolder folder, std::string& path) override {
    return inner_.SpecialFolderPath(folder, path);
  }
  bool PathFits(const std::string& path) const override { return inner_.PathFits(path); }
  plat::ShellResult ComInitialize() override { return inner_.ComInitialize(); }
  void ComUninitialize() override { inner_.ComUninitialize(); }
  // The link objects it gives journal each save.
  plat::ShellResult CreateShellLink(std::unique_ptr<plat::ShellLink>& link) override;
  bool ReadLink(const std::string& path, plat::LinkInfo& info) override {
    return inner_.ReadLink(path, info);
  }

 private:
  plat::Shell& inner_;
  const TransactionSlot& slot_;
};

class JournaledRegistry : public plat::ForwardingRegistry {
 public:
  JournaledRegistry(plat::RegistryBackend& inner, const TransactionSlot& slot)
      : ForwardingRegistry(inner), slot_(slot) {}
  long OpenKey(plat::RegKey parent, const std::string& subKey, plat::RegKey& result) override;
  long OpenKeyRead(plat::RegKey parent, const std::string& subKey,
                   plat::RegKey& result) override;
  long CreateKey(plat::RegKey parent, const std::string& subKey, plat::RegKey& result) override;
  long CloseKey(plat::RegKey key) override;
  long SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size) override;

 private:
  // A key's root and its path below the root.
  using KeyPath = std::pair<plat::RegKey, std::string>;
  // The place of parent's subkey; false when parent is neither a root nor a key opened here.
  bool Locate(plat::RegKey parent, const std::string& subKey, KeyPath& place) const;
  long Remember(long result, const KeyPath& place, bool known, const plat::RegKey& key);

  const TransactionSlot& slot_;
  // The keys open now that were opened here: a handful at a time.
  std::vector<std::pair<plat::RegKey, KeyPath>> keys_;
  const KeyPath* Find(plat::RegKey key) const;
};

}  // namespace wizard
