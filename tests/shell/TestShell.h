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

  std::string FolderOf(int csidl) const;

  bool SpecialFolderPath(int csidl, std::string& path) override;
  plat::ComResult ComInitialize() override;
  void ComUninitialize() override;
  plat::ComResult CreateShellLink(std::unique_ptr<plat::ShellLink>& link) override;
  bool ReadLink(const std::string& path, plat::LinkInfo& info) override {
    return plat::SystemShell().ReadLink(path, info);
  }

  // --- Faults: a special folder that does not resolve, and result codes to answer instead of
  // calling through. A code of 0 means "call through". ---
  std::map<int, bool> unresolved;
  plat::ComResult failInitialize = 0;
  plat::ComResult failCreateLink = 0;
  plat::ComResult failQueryPersistFile = 0;
  plat::ComResult failSetDescription = 0;
  plat::ComResult failSave = 0;

  // --- What happened ---
  int initialised = 0;    // successful initialisations
  int uninitialised = 0;  // uninitialisations
  int resolutions = 0;    // special folders asked for
  int linksCreated = 0;   // link objects handed out
  int linksAlive = 0;     // link objects and file interfaces not yet released
  int saves = 0;          // Save calls that reached the platform
  // Show commands set on link objects, in order. (A .lnk file keeps only some show commands;
  // the shell reads SW_SHOW back as SW_SHOWNORMAL, so tests look here.)
  std::vector<int> showCmds;

 private:
  std::string base_;
};

}  // namespace shelltest
