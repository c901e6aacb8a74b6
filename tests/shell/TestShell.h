// A shell for the shortcut tests: the special folders are folders of a scratch folder, link
// objects and COM are the platform's own (real .lnk files on Win32, record files elsewhere),
// COM initialisations are counted, and each step can be made to fail.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Shell.h"

namespace shelltest {

class TestShell : public plat::Shell {
 public:
  // Special folders become base\StartMenu, base\Programs and base\Desktop.
  explicit TestShell(std::string base) : base_(std::move(base)) {}

  std::string FolderOf(plat::SpecialFolder folder) const;

  bool SpecialFolderPath(plat::SpecialFolder folder, std::string& path) override;
  bool PathFits(const std::string& path) const override {
    return plat::SystemShell().PathFits(path);
  }
  plat::ShellResult ComInitialize() override;
  void ComUninitialize() override;
  plat::ShellResult CreateShellLink(std::unique_ptr<plat::ShellLink>& link) override;
  bool ReadLink(const std::string& path, plat::LinkInfo& info) override {
    return plat::SystemShell().ReadLink(path, info);
  }

  // --- Faults: a special folder that does not resolve, and results to answer instead of
  // calling through. kOk means "call through". ---
  std::map<plat::SpecialFolder, bool> unresolved;
  plat::ShellResult failInitialize = plat::ShellResult::kOk;
  plat::ShellResult failCreateLink = plat::ShellResult::kOk;
  plat::ShellResult failQueryPersistFile = plat::ShellResult::kOk;
  plat::ShellResult failSetDescription = plat::ShellResult::kOk;
  plat::ShellResult failSave = plat::ShellResult::kOk;

  // --- What happened ---
  int initialised = 0;    // successful initialisations
  int uninitialised = 0;  // uninitialisations
  int resolutions = 0;    // special folders asked for
  int linksCreated = 0;   // link objects handed out
  int linksAlive = 0;     // link objects and file interfaces not yet released
  int saves = 0;          // Save calls that reached the platform
  // Show commands set on link objects, in order. (A .lnk file keeps only some show commands;
  // the Windows shell reads kShow back as kNormal, so tests look here.)
  std::vector<plat::ShowCommand> showCmds;

 private:
  std::string base_;
};

}  // namespace shelltest
