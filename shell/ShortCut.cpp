// TMyShortCut: the shell links of the installed program and the component's properties. The
// browser and Find-menu registrations are in ShortCutRegistry.cpp.
#include "shell/ShortCut.h"

#include <memory>

namespace shell {

namespace {

constexpr char kLinkExtension[] = ".lnk";
constexpr char kBackslash[] = "\\";

// COM for the calling thread for the life of one link operation. An initialise that failed is
// not matched by an uninitialise: that would undo an initialisation made by someone else.
class ComScope {
 public:
  explicit ComScope(plat::Shell& shell) : shell_(shell), result_(shell.ComInitialize()) {}
  ~ComScope() {
    if (plat::Succeeded(result_)) shell_.ComUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  bool Initialised() const { return plat::Succeeded(result_); }

 private:
  plat::Shell& shell_;
  plat::ShellResult result_;
};

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

}  // namespace

TMyShortCut::TMyShortCut(gui::TComponent* owner)
    : TMyShortCut(owner, plat::SystemShell(), plat::RealFileSystem(), plat::SystemRegistry()) {}

TMyShortCut::TMyShortCut(gui::TComponent* owner, plat::Shell& shell, plat::FileSystem& files,
                         plat::RegistryBackend& registry)
    : gui::TComponent(owner), shell_(shell), files_(files), registry_(registry) {}

TMyShortCut::~TMyShortCut() = default;

void TMyShortCut::Setlistafile(const std::vector<std::string>& list) {
  // Copy first, so that a failing copy leaves the old content (and a self-assignment works).
  std::vector<std::string> copy(list);
  listafile_.swap(copy);
}

void TMyShortCut::CreateShortCutDesktop(const std::string& /*ignored*/) {
  std::string folder;
  if (!shell_.SpecialFolderPath(DesktopFolderId, folder)) return;
  ComScope com(shell_);
  if (!com.Initialised()) return;
  std::unique_ptr<plat::ShellLink> link;
  if (plat::Failed(shell_.CreateShellLink(link)) || !link) return;
  link->SetPath(FilePathName);
  link->SetDescription(DescrizioneExeInForder);
  link->SetShowCmd(plat::ShowCommand::kShow);
  std::unique_ptr<plat::ShellLinkFile> file;
  if (plat::Succeeded(link->QueryPersistFile(file)) && file) {
    const std::string linkPath = folder + kBackslash + LinkName + kLinkExtension;
    if (shell_.PathFits(linkPath)) file->Save(linkPath, true);
  }
  // file, link and then COM are released in that order on leaving.
}

void TMyShortCut::DeleteShortCutDesktop(const std::string& /*ignored*/) {
  std::string folder;
  if (!shell_.SpecialFolderPath(DesktopFolderId, folder)) return;
  ComScope com(shell_);
  if (!com.Initialised()) return;
  std::unique_ptr<plat::ShellLink> link;
  if (plat::Failed(shell_.CreateShellLink(link)) || !link) return;
  link->SetPath(FilePathName);
  link->SetDescription(DescrizioneExeInForder);
  link->SetShowCmd(plat::ShowCommand::kShow);
  std::unique_ptr<plat::ShellLinkFile> file;
  if (plat::Succeeded(link->QueryPersistFile(file)) && file) {
    const std::string linkPath = folder + kBackslash + LinkName + kLinkExtension;
    file.reset();
    if (shell_.PathFits(linkPath)) files_.DeleteFile(linkPath);
  }
}

plat::ShellResult TMyShortCut::WithStartMenuLink(const char* target, const char* name,
                                                 const char* group, plat::SpecialFolder folderId,
                                                 const StartMenuAction& action) {
  std::string folder;
  if (!shell_.SpecialFolderPath(folderId, folder)) return kFolderNotResolved;
  ComScope com(shell_);
  std::unique_ptr<plat::ShellLink> link;
  plat::ShellResult result = shell_.CreateShellLink(link);
  if (plat::Failed(result) || !link) return result;
  std::unique_ptr<plat::ShellLinkFile> file;
  result = link->QueryPersistFile(file);
  if (plat::Failed(result) || !file) return result;
  result = link->SetPath(Text(target));
  // The show command stays the shell's default for these links.
  result = link->SetDescription(Text(name));
  if (plat::Failed(result)) return result;
  const std::string groupFolder = folder + kBackslash + Text(group) + kBackslash;
  const std::string linkPath = groupFolder + Text(name) + kLinkExtension;
  // A link that cannot be named within the shell's buffers is neither made nor deleted, and
  // its group folder is left alone.
  if (!shell_.PathFits(linkPath)) return plat::ShellResult::kPathTooLong;
  return action(*file, groupFolder, linkPath, result);
}

plat::ShellResult TMyShortCut::CreateUserStartMenuShortcut(const char* target, const char* name,
                                                           const char* group,
                                                           plat::SpecialFolder folderId) {
  return WithStartMenuLink(
      target, name, group, folderId,
      [this](plat::ShellLinkFile& file, const std::string& groupFolder,
             const std::string& linkPath, plat::ShellResult) {
        files_.CreateDir(plat::ExcludeTrailingBackslash(groupFolder));
        return file.Save(linkPath, true);
      });
}

plat::ShellResult TMyShortCut::DeleteUserStartMenuShortcut(const char* target, const char* name,
                                                           const char* group,
                                                           plat::SpecialFolder folderId) {
  return WithStartMenuLink(
      target, name, group, folderId,
      [this](plat::ShellLinkFile&, const std::string& groupFolder, const std::string& linkPath,
             plat::ShellResult lastResult) {
        files_.DeleteFile(linkPath);
        // Fails, as wanted, while the group folder still holds anything.
        files_.RemoveDir(plat::ExcludeTrailingBackslash(groupFolder));
        return lastResult;
      });
}

void TMyShortCut::Create(plat::SpecialFolder folderId) {
  CreateUserStartMenuShortcut(FilePathName.c_str(), ExeName.c_str(),
                              GruppoProgrammiName.c_str(), folderId);
}

void TMyShortCut::CreateLink() {
  if (CreateToAvvio) {
    CreateUserStartMenuShortcut(FilePathName.c_str(), ExeName.c_str(),
                                GruppoProgrammiName.c_str(), plat::SpecialFolder::kStartMenu);
  }
  if (CreateDeskTopLink) CreateShortCutDesktop(FilePathName);
  if (CreateFolder) {
    CreateUserStartMenuShortcut(FilePathName.c_str(), ExeName.c_str(),
                                GruppoProgrammiName.c_str(), plat::SpecialFolder::kPrograms);
  }
  if (CreateToTrova) CreateTrovaLink();
  if (CreateToExplorer) RegisterExplorer();
}

void TMyShortCut::RemoveLink() {
  if (CreateToAvvio) {
    DeleteUserStartMenuShortcut(FilePathName.c_str(), ExeName.c_str(),
                                GruppoProgrammiName.c_str(), plat::SpecialFolder::kStartMenu);
  }
  if (CreateDeskTopLink) DeleteShortCutDesktop(FilePathName);
  if (CreateFolder) {
    DeleteUserStartMenuShortcut(FilePathName.c_str(), ExeName.c_str(),
                                GruppoProgrammiName.c_str(), plat::SpecialFolder::kPrograms);
  }
  if (CreateToTrova) DeleteTrovaLink();
  if (CreateToExplorer) DeRegisterExplorer();
}

const std::vector<TMyShortCut::PropertyInfo>& TMyShortCut::PublishedProperties() {
  using K = PropertyKind;
  static const std::vector<PropertyInfo> properties = {
      {"ExeName", K::String, nullptr, &TMyShortCut::ExeName},
      {"FilePathName", K::String, nullptr, &TMyShortCut::FilePathName},
      {"IconPathName", K::String, nullptr, &TMyShortCut::IconPathName},
      {"Descrizione", K::String, nullptr, &TMyShortCut::Descrizione},
      {"MenuText", K::String, nullptr, &TMyShortCut::MenuText},
      {"LinkName", K::String, nullptr, &TMyShortCut::LinkName},
      {"CLSIDExplore", K::String, nullptr, &TMyShortCut::CLSIDExplore},
      {"CLSIDExplore1", K::String, nullptr, &TMyShortCut::CLSIDExplore1},
      {"GruppoProgrammiName", K::String, nullptr, &TMyShortCut::GruppoProgrammiName},
      {"DescrizioneExeInForder", K::String, nullptr, &TMyShortCut::DescrizioneExeInForder},
      {"CreateDeskTopLink", K::Bool, &TMyShortCut::CreateDeskTopLink, nullptr},
      {"CreateFolder", K::Bool, &TMyShortCut::CreateFolder, nullptr},
      {"CreateToTrova", K::Bool, &TMyShortCut::CreateToTrova, nullptr},
      {"CreateToExplorer", K::Bool, &TMyShortCut::CreateToExplorer, nullptr},
      {"CreateToAvvio", K::Bool, &TMyShortCut::CreateToAvvio, nullptr},
      {"listafile", K::Strings, nullptr, nullptr},
  };
  return properties;
}

bool TMyShortCut::IsStored(const PropertyInfo& property) const {
  switch (property.kind) {
    case PropertyKind::Bool: return this->*property.boolField;
    case PropertyKind::String: return !(this->*property.stringField).empty();
    case PropertyKind::Strings: return !listafile_.empty();
  }
  return false;
}

}  // namespace shell
