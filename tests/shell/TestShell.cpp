// The scratch-folder shell of the shortcut tests.
#include "TestShell.h"

namespace shelltest {

namespace {

class CountedFile : public plat::ShellLinkFile {
 public:
  CountedFile(TestShell& shell, std::unique_ptr<plat::ShellLinkFile> inner)
      : shell_(shell), inner_(std::move(inner)) {
    ++shell_.linksAlive;
  }
  ~CountedFile() override { --shell_.linksAlive; }

  plat::ComResult Save(const std::string& path, bool remember) override {
    if (shell_.failSave != 0) return shell_.failSave;
    ++shell_.saves;
    return inner_->Save(path, remember);
  }

 private:
  TestShell& shell_;
  std::unique_ptr<plat::ShellLinkFile> inner_;
};

class CountedLink : public plat::ShellLink {
 public:
  CountedLink(TestShell& shell, std::unique_ptr<plat::ShellLink> inner)
      : shell_(shell), inner_(std::move(inner)) {
    ++shell_.linksAlive;
  }
  ~CountedLink() override { --shell_.linksAlive; }

  plat::ComResult SetPath(const std::string& target) override { return inner_->SetPath(target); }
  plat::ComResult SetDescription(const std::string& description) override {
    if (shell_.failSetDescription != 0) return shell_.failSetDescription;
    return inner_->SetDescription(description);
  }
  plat::ComResult SetShowCmd(int showCmd) override {
    shell_.showCmds.push_back(showCmd);
    return inner_->SetShowCmd(showCmd);
  }
  plat::ComResult QueryPersistFile(std::unique_ptr<plat::ShellLinkFile>& file) override {
    if (shell_.failQueryPersistFile != 0) return shell_.failQueryPersistFile;
    std::unique_ptr<plat::ShellLinkFile> inner;
    const plat::ComResult result = inner_->QueryPersistFile(inner);
    if (plat::com::Succeeded(result)) file.reset(new CountedFile(shell_, std::move(inner)));
    return result;
  }

 private:
  TestShell& shell_;
  std::unique_ptr<plat::ShellLink> inner_;
};

}  // namespace

std::string TestShell::FolderOf(int csidl) const {
  switch (csidl) {
    case plat::csidl::kStartMenu: return base_ + "\\StartMenu";
    case plat::csidl::kPrograms: return base_ + "\\Programs";
    case plat::csidl::kDesktop:
    case plat::csidl::kDesktopDirectory: return base_ + "\\Desktop";
    default: return base_ + "\\Folder" + std::to_string(csidl);
  }
}

bool TestShell::SpecialFolderPath(int csidl, std::string& path) {
  ++resolutions;
  if (unresolved[csidl]) return false;
  const std::string folder = FolderOf(csidl);
  if (!plat::RealFileSystem().ForceDirectories(folder)) return false;
  path = folder;
  return true;
}

plat::ComResult TestShell::ComInitialize() {
  if (failInitialize != 0) return failInitialize;
  const plat::ComResult result = plat::SystemShell().ComInitialize();
  if (plat::com::Succeeded(result)) ++initialised;
  return result;
}

void TestShell::ComUninitialize() {
  ++uninitialised;
  plat::SystemShell().ComUninitialize();
}

plat::ComResult TestShell::CreateShellLink(std::unique_ptr<plat::ShellLink>& link) {
  if (failCreateLink != 0) return failCreateLink;
  std::unique_ptr<plat::ShellLink> inner;
  const plat::ComResult result = plat::SystemShell().CreateShellLink(inner);
  if (plat::com::Succeeded(result)) {
    ++linksCreated;
    link.reset(new CountedLink(*this, std::move(inner)));
  }
  return result;
}

}  // namespace shelltest
