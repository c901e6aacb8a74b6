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

  plat::ShellResult Save(const std::string& path, bool remember) override {
    if (shell_.failSave != plat::ShellResult::kOk) return shell_.failSave;
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

  plat::ShellResult SetPath(const std::string& target) override {
    return inner_->SetPath(target);
  }
  plat::ShellResult SetDescription(const std::string& description) override {
    if (shell_.failSetDescription != plat::ShellResult::kOk) return shell_.failSetDescription;
    return inner_->SetDescription(description);
  }
  plat::ShellResult SetShowCmd(plat::ShowCommand showCmd) override {
    shell_.showCmds.push_back(showCmd);
    return inner_->SetShowCmd(showCmd);
  }
  plat::ShellResult QueryPersistFile(std::unique_ptr<plat::ShellLinkFile>& file) override {
    if (shell_.failQueryPersistFile != plat::ShellResult::kOk) return shell_.failQueryPersistFile;
    std::unique_ptr<plat::ShellLinkFile> inner;
    const plat::ShellResult result = inner_->QueryPersistFile(inner);
    if (plat::Succeeded(result)) file.reset(new CountedFile(shell_, std::move(inner)));
    return result;
  }

 private:
  TestShell& shell_;
  std::unique_ptr<plat::ShellLink> inner_;
};

}  // namespace

std::string TestShell::FolderOf(plat::SpecialFolder folder) const {
  switch (folder) {
    case plat::SpecialFolder::kStartMenu: return base_ + "\\StartMenu";
    case plat::SpecialFolder::kPrograms: return base_ + "\\Programs";
    case plat::SpecialFolder::kDesktopDirectory: return base_ + "\\Desktop";
    case plat::SpecialFolder::kCommonAppData: return base_ + "\\ProgramData";
  }
  return base_ + "\\Folder" + std::to_string(static_cast<int>(folder));
}

bool TestShell::SpecialFolderPath(plat::SpecialFolder id, std::string& path) {
  ++resolutions;
  if (unresolved[id]) return false;
  const std::string folder = FolderOf(id);
  if (!plat::RealFileSystem().ForceDirectories(folder)) return false;
  path = folder;
  return true;
}

plat::ShellResult TestShell::ComInitialize() {
  if (failInitialize != plat::ShellResult::kOk) return failInitialize;
  const plat::ShellResult result = plat::SystemShell().ComInitialize();
  if (plat::Succeeded(result)) ++initialised;
  return result;
}

void TestShell::ComUninitialize() {
  ++uninitialised;
  plat::SystemShell().ComUninitialize();
}

plat::ShellResult TestShell::CreateShellLink(std::unique_ptr<plat::ShellLink>& link) {
  if (failCreateLink != plat::ShellResult::kOk) return failCreateLink;
  std::unique_ptr<plat::ShellLink> inner;
  const plat::ShellResult result = plat::SystemShell().CreateShellLink(inner);
  if (plat::Succeeded(result)) {
    ++linksCreated;
    link.reset(new CountedLink(*this, std::move(inner)));
  }
  return result;
}

}  // namespace shelltest
