// Stops the world at a chosen moment, as a power cut or the task manager would. The file layer,
// shell and registry below pass every call on until the switch trips; from then on they change
// nothing and read nothing (every call fails), so what the machine holds is what a killed run
// leaves. The switch trips once the N-th change has been made (a file created, written, flushed,
// dated, renamed or deleted, a folder made or removed, a link saved, a registry key or value
// written or deleted), or once the N-th flush has returned (with the installer, the N-th
// journal record is then on disk).
#pragma once

#include <memory>
#include <string>

#include "platform/Shell.h"
#include "support/ProxyFileSystem.h"
#include "support/ProxyRegistry.h"

namespace testsupport {

class KillSwitch {
 public:
  void AfterChanges(long n) { Arm(n, 0); }
  void AfterFlushes(long n) { Arm(0, n); }
  // Disarmed: everything passes again, as for the installer's next start. Tripped() still tells
  // whether it had tripped.
  void Off() {
    changeLimit_ = flushLimit_ = 0;
    dead_ = false;
  }
  bool Dead() const { return dead_; }
  // Whether the switch tripped since it was armed.
  bool Tripped() const { return tripped_; }

  // A change has been made, or a flush has returned.
  void Changed() { Count(changes_, changeLimit_); }
  void Flushed() { Count(flushes_, flushLimit_); }

 private:
  void Arm(long changes, long flushes) {
    changeLimit_ = changes;
    flushLimit_ = flushes;
    changes_ = flushes_ = 0;
    dead_ = tripped_ = false;
  }
  void Count(long& count, long limit) {
    ++count;
    if (limit > 0 && count >= limit) dead_ = tripped_ = true;
  }
  long changeLimit_ = 0;
  long flushLimit_ = 0;
  long changes_ = 0;
  long flushes_ = 0;
  bool dead_ = false;
  bool tripped_ = false;
};

class KillableFiles : public ProxyFileSystem {
 public:
  KillableFiles(KillSwitch& power, plat::FileSystem& inner = plat::RealFileSystem())
      : ProxyFileSystem(inner), power_(power) {}

  std::unique_ptr<plat::FileStream> OpenRead(const std::string& path) override;
  std::unique_ptr<plat::FileStream> Create(const std::string& path) override;
  std::unique_ptr<plat::FileStream> OpenWrite(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool Exists(const std::string& path) override;
  bool CreateDir(const std::string& path) override;
  bool ForceDirectories(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool RemoveDir(const std::string& path) override;
  std::int32_t FileAge(const std::string& path) override;
  std::vector<plat::DirEntry> ListDirectory(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  std::int64_t FreeSpace(const std::string& folder) override;
  bool CanOpenExclusive(const std::string& path) override;

 private:
  std::unique_ptr<plat::FileStream> Wrap(std::unique_ptr<plat::FileStream> inner);
  // Passes a changing call on while the power is on; counts it when it changed something.
  template <class Call>
  bool Change(Call call);
  KillSwitch& power_;
};

// The shell: link saves count as changes and fail once the power is off.
class KillableShell : public plat::Shell {
 public:
  KillableShell(KillSwitch& power, plat::Shell& inner = plat::SystemShell())
      : power_(power), inner_(inner) {}
  bool SpecialFolderPath(plat::SpecialFolder folder, std::string& path) override {
    return !power_.Dead() && inner_.SpecialFolderPath(folder, path);
  }
  bool PathFits(const std::string& path) const override { return inner_.PathFits(path); }
  plat::ShellResult ComInitialize() override { return inner_.ComInitialize(); }
  void ComUninitialize() override { inner_.ComUninitialize(); }
  plat::ShellResult CreateShellLink(std::unique_ptr<plat::ShellLink>& link) override;
  bool ReadLink(const std::string& path, plat::LinkInfo& info) override {
    return !power_.Dead() && inner_.ReadLink(path, info);
  }

 private:
  KillSwitch& power_;
  plat::Shell& inner_;
};

// The registry: writes and deletions count as changes; every call fails once the power is off.
class KillableRegistry : public ProxyRegistry {
 public:
  KillableRegistry(KillSwitch& power, plat::RegistryBackend& inner)
      : ProxyRegistry(inner), power_(power) {}
  long OpenKey(plat::RegKey parent, const std::string& subKey, plat::RegKey& result) override;
  long OpenKeyRead(plat::RegKey parent, const std::string& subKey,
                   plat::RegKey& result) override;
  long CreateKey(plat::RegKey parent, const std::string& subKey, plat::RegKey& result) override;
  long QueryValue(plat::RegKey key, const std::string& name, std::uint32_t& type,
                  std::vector<std::uint8_t>& data) override;
  long SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size) override;
  long DeleteValue(plat::RegKey key, const std::string& name) override;
  long DeleteKey(plat::RegKey parent, const std::string& subKey) override;

 private:
  long Counted(long result);
  KillSwitch& power_;
};

}  // namespace testsupport
