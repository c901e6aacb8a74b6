#include "support/KillSwitch.h"

#include "platform/Error.h"
#include "platform/RegistryBackend.h"

namespace testsupport {

namespace {

constexpr char kDead[] = "the process was killed";

class KillableStream : public ProxyFileStream {
 public:
  KillableStream(KillSwitch& power, std::unique_ptr<plat::FileStream> inner)
      : ProxyFileStream(std::move(inner)), power_(power) {}
  std::int32_t Read(void* buffer, std::int32_t count) override {
    if (power_.Dead()) throw plat::StreamError(kDead);
    return ProxyFileStream::Read(buffer, count);
  }
  std::int32_t Write(const void* buffer, std::int32_t count) override {
    if (power_.Dead()) throw plat::StreamError(kDead);
    const std::int32_t done = ProxyFileStream::Write(buffer, count);
    power_.Changed();
    return done;
  }
  std::int64_t Seek(std::int64_t offset, Origin origin) override {
    if (power_.Dead()) throw plat::StreamError(kDead);
    return ProxyFileStream::Seek(offset, origin);
  }
  std::int64_t Size() override {
    if (power_.Dead()) throw plat::StreamError(kDead);
    return ProxyFileStream::Size();
  }
  bool SetDosDateTime(std::int32_t dosDateTime) override {
    if (power_.Dead()) return false;
    const bool done = ProxyFileStream::SetDosDateTime(dosDateTime);
    power_.Changed();
    return done;
  }
  bool Flush() override {
    if (power_.Dead()) return false;
    const bool done = ProxyFileStream::Flush();
    power_.Flushed();
    return done;
  }

 private:
  KillSwitch& power_;
};

class KillableLinkFile : public plat::ShellLinkFile {
 public:
  KillableLinkFile(KillSwitch& power, std::unique_ptr<plat::ShellLinkFile> inner)
      : power_(power), inner_(std::move(inner)) {}
  plat::ShellResult Save(const std::string& path, bool remember) override {
    if (power_.Dead()) return plat::ShellResult::kFailed;
    const plat::ShellResult result = inner_->Save(path, remember);
    power_.Changed();
    return result;
  }

 private:
  KillSwitch& power_;
  std::unique_ptr<plat::ShellLinkFile> inner_;
};

class KillableLink : public plat::ShellLink {
 public:
  KillableLink(KillSwitch& power, std::unique_ptr<plat::ShellLink> inner)
      : power_(power), inner_(std::move(inner)) {}
  plat::ShellResult SetPath(const std::string& t) override { return inner_->SetPath(t); }
  plat::ShellResult SetDescription(const std::string& d) override {
    return inner_->SetDescription(d);
  }
  plat::ShellResult SetShowCmd(plat::ShowCommand c) override { return inner_->SetShowCmd(c); }
  plat::ShellResult QueryPersistFile(std::unique_ptr<plat::ShellLinkFile>& file) override {
    std::unique_ptr<plat::ShellLinkFile> inner;
    const plat::ShellResult result = inner_->QueryPersistFile(inner);
    file.reset(inner ? new KillableLinkFile(power_, std::move(inner)) : nullptr);
    return result;
  }

 private:
  KillSwitch& power_;
  std::unique_ptr<plat::ShellLink> inner_;
};

}  // namespace

std::unique_ptr<plat::FileStream> KillableFiles::Wrap(std::unique_ptr<plat::FileStream> inner) {
  return std::make_unique<KillableStream>(power_, std::move(inner));
}

template <class Call>
bool KillableFiles::Change(Call call) {
  if (power_.Dead()) return false;
  const bool done = call();
  if (done) power_.Changed();
  return done;
}

std::unique_ptr<plat::FileStream> KillableFiles::OpenRead(const std::string& path) {
  if (power_.Dead()) throw plat::Error(kDead);
  return Wrap(ProxyFileSystem::OpenRead(path));
}

std::unique_ptr<plat::FileStream> KillableFiles::Create(const std::string& path) {
  if (power_.Dead()) throw plat::Error(kDead);
  std::unique_ptr<plat::FileStream> stream = Wrap(ProxyFileSystem::Create(path));
  power_.Changed();
  return stream;
}

std::unique_ptr<plat::FileStream> KillableFiles::OpenWrite(const std::string& path) {
  if (power_.Dead()) throw plat::Error(kDead);
  return Wrap(ProxyFileSystem::OpenWrite(path));
}

bool KillableFiles::FileExists(const std::string& path) {
  return !power_.Dead() && ProxyFileSystem::FileExists(path);
}
bool KillableFiles::DirectoryExists(const std::string& path) {
  return !power_.Dead() && ProxyFileSystem::DirectoryExists(path);
}
bool KillableFiles::Exists(const std::string& path) {
  return !power_.Dead() && ProxyFileSystem::Exists(path);
}
bool KillableFiles::CreateDir(const std::string& path) {
  return Change([&] { return ProxyFileSystem::CreateDir(path); });
}
bool KillableFiles::ForceDirectories(const std::string& path) {
  return Change([&] { return ProxyFileSystem::ForceDirectories(path); });
}
bool KillableFiles::DeleteFile(const std::string& path) {
  return Change([&] { return ProxyFileSystem::DeleteFile(path); });
}
bool KillableFiles::RemoveDir(const std::string& path) {
  return Change([&] { return ProxyFileSystem::RemoveDir(path); });
}
std::int32_t KillableFiles::FileAge(const std::string& path) {
  return power_.Dead() ? -1 : ProxyFileSystem::FileAge(path);
}
std::vector<plat::DirEntry> KillableFiles::ListDirectory(const std::string& path) {
  return power_.Dead() ? std::vector<plat::DirEntry>() : ProxyFileSystem::ListDirectory(path);
}
bool KillableFiles::RenameFile(const std::string& from, const std::string& to) {
  return Change([&] { return ProxyFileSystem::RenameFile(from, to); });
}
std::int64_t KillableFiles::FreeSpace(const std::string& folder) {
  return power_.Dead() ? -1 : ProxyFileSystem::FreeSpace(folder);
}
bool KillableFiles::CanOpenExclusive(const std::string& path) {
  return !power_.Dead() && ProxyFileSystem::CanOpenExclusive(path);
}

plat::ShellResult KillableShell::CreateShellLink(std::unique_ptr<plat::ShellLink>& link) {
  if (power_.Dead()) return plat::ShellResult::kFailed;
  std::unique_ptr<plat::ShellLink> inner;
  const plat::ShellResult result = inner_.CreateShellLink(inner);
  link.reset(inner ? new KillableLink(power_, std::move(inner)) : nullptr);
  return result;
}

long KillableRegistry::Counted(long result) {
  if (result == plat::reg::kSuccess) power_.Changed();
  return result;
}

long KillableRegistry::OpenKey(plat::RegKey parent, const std::string& subKey,
                               plat::RegKey& result) {
  if (power_.Dead()) return plat::reg::kAccessDenied;
  return ProxyRegistry::OpenKey(parent, subKey, result);
}
long KillableRegistry::OpenKeyRead(plat::RegKey parent, const std::string& subKey,
                                   plat::RegKey& result) {
  if (power_.Dead()) return plat::reg::kAccessDenied;
  return ProxyRegistry::OpenKeyRead(parent, subKey, result);
}
long KillableRegistry::CreateKey(plat::RegKey parent, const std::string& subKey,
                                 plat::RegKey& result) {
  if (power_.Dead()) return plat::reg::kAccessDenied;
  return Counted(ProxyRegistry::CreateKey(parent, subKey, result));
}
long KillableRegistry::QueryValue(plat::RegKey key, const std::string& name, std::uint32_t& type,
                                  std::vector<std::uint8_t>& data) {
  if (power_.Dead()) return plat::reg::kAccessDenied;
  return ProxyRegistry::QueryValue(key, name, type, data);
}
long KillableRegistry::SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                                const std::uint8_t* data, std::size_t size) {
  if (power_.Dead()) return plat::reg::kAccessDenied;
  return Counted(ProxyRegistry::SetValue(key, name, type, data, size));
}
long KillableRegistry::DeleteValue(plat::RegKey key, const std::string& name) {
  if (power_.Dead()) return plat::reg::kAccessDenied;
  return Counted(ProxyRegistry::DeleteValue(key, name));
}
long KillableRegistry::DeleteKey(plat::RegKey parent, const std::string& subKey) {
  if (power_.Dead()) return plat::reg::kAccessDenied;
  return Counted(ProxyRegistry::DeleteKey(parent, subKey));
}

}  // namespace testsupport
