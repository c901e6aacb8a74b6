// The wizard brought to its installation page with a payload of the test's choosing, plus
// doubles that record what reaches the file layer and the registry, and helpers to look at
// the destination folder, the links and the install record afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "WizardFixture.h"
#include "platform/Files.h"
#include "platform/RegistryBackend.h"
#include "platform/Shell.h"
#include "support/ProxyFileSystem.h"
#include "support/ProxyRegistry.h"

namespace wizardtest {

// Passes every call to the platform's file layer and tells a listener about folder and
// deletion calls, file existence tests and file creation, before each runs.
class ObservedFiles : public testsupport::ProxyFileSystem {
 public:
  std::function<void(const std::string& op, const std::string& path)> onCall;

  std::unique_ptr<plat::FileStream> Create(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool CreateDir(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool RemoveDir(const std::string& path) override;

 private:
  void Tell(const char* op, const std::string& path);
};

// Passes every call to another registry and keeps the names of the values set and deleted,
// in order.
class ObservedRegistry : public testsupport::ProxyRegistry {
 public:
  using ProxyRegistry::ProxyRegistry;
  std::vector<std::string> valuesSet;
  std::vector<std::string> valuesDeleted;

  long SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                const std::uint8_t* data, std::size_t size) override;
  long DeleteValue(plat::RegKey key, const std::string& name) override;
};

class InstallTest : public WizardTest {
 protected:
  // The links, and the journal, live in the user's and the machine's real special folders on
  // Windows: none is left from another test, and none is left behind.
  InstallTest() { RemoveLinks(); }
  ~InstallTest() override { RemoveLinks(); }
  void RemoveLinks();

  static constexpr int kInstallPage = 5;
  static constexpr int kWelcomePage = 0;

  // The destination the tests install into: a folder of the scratch drive, not yet made.
  std::string Dest() const { return Path("Lumidesk"); }
  std::string InDest(const std::string& relative) const { return Dest() + "\\" + relative; }

  // Writes the installer with these members, starts the wizard online, points LabelDir at
  // Dest() and shows the installation page.
  wizard::TForm1& OpenAtInstallPage(const std::vector<archive::WriterMember>& members);
  // Presses "Installa"; false when the button did not take the press.
  bool PressInstall() { return gui_.Click(*form_->Button9); }

  // The folder behind a special folder in the platform's shell.
  static std::string SpecialFolder(plat::SpecialFolder folder);
  std::string StartMenuLink() const;
  std::string ProgramsLink() const;
  std::string DesktopLink() const;

  bool RecordExists() const;
  // The install record's value as text; "<missing>" when there is none.
  std::string RecordValue(const std::string& name) const;
  int BoxesTitled(const std::string& title) const;

  static bool IsFile(const std::string& path) { return plat::RealFileSystem().FileExists(path); }
  static bool IsFolder(const std::string& path) {
    return plat::RealFileSystem().DirectoryExists(path);
  }
};

}  // namespace wizardtest
