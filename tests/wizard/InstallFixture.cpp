// The installation-page fixture and its recording doubles.
#include "InstallFixture.h"

#include "platform/Shell.h"
#include "wizard/InstallJournal.h"

namespace wizardtest {

void ObservedFiles::Tell(const char* op, const std::string& path) {
  if (onCall) onCall(op, path);
}

std::unique_ptr<plat::FileStream> ObservedFiles::Create(const std::string& path) {
  Tell("Create", path);
  return ProxyFileSystem::Create(path);
}
bool ObservedFiles::FileExists(const std::string& path) {
  Tell("FileExists", path);
  return ProxyFileSystem::FileExists(path);
}
bool ObservedFiles::CreateDir(const std::string& path) {
  Tell("CreateDir", path);
  return ProxyFileSystem::CreateDir(path);
}
bool ObservedFiles::DeleteFile(const std::string& path) {
  Tell("DeleteFile", path);
  return ProxyFileSystem::DeleteFile(path);
}
bool ObservedFiles::RemoveDir(const std::string& path) {
  Tell("RemoveDir", path);
  return ProxyFileSystem::RemoveDir(path);
}

long ObservedRegistry::SetValue(plat::RegKey key, const std::string& name, std::uint32_t type,
                                const std::uint8_t* data, std::size_t size) {
  valuesSet.push_back(name);
  return ProxyRegistry::SetValue(key, name, type, data, size);
}
long ObservedRegistry::DeleteValue(plat::RegKey key, const std::string& name) {
  valuesDeleted.push_back(name);
  return ProxyRegistry::DeleteValue(key, name);
}

wizard::TForm1& InstallTest::OpenAtInstallPage(const std::vector<archive::WriterMember>& members) {
  WriteInstaller(InstallerPath(), "3.0.0.3", members);
  online_ = true;
  auto& w = StartWizard();
  Tick();
  w.LabelDir->SetCaption(Dest());
  w.Notebook1->SetPageIndex(kInstallPage);
  return w;
}

void InstallTest::RemoveLinks() {
  plat::FileSystem& fs = plat::RealFileSystem();
  for (const std::string& link : {StartMenuLink(), ProgramsLink(), DesktopLink()})
    fs.DeleteFile(link);
  // The installation journal lives in the machine's application data, shared between tests
  // on Windows: none is left from another test, and none is left behind.
  fs.DeleteFile(wizard::JournalPath(SpecialFolder(plat::SpecialFolder::kCommonAppData)));
  for (plat::SpecialFolder folder :
       {plat::SpecialFolder::kStartMenu, plat::SpecialFolder::kPrograms})
    fs.RemoveDir(SpecialFolder(folder) + "\\Lumidesk");
}

std::string InstallTest::SpecialFolder(plat::SpecialFolder folder) {
  std::string path;
  EXPECT_TRUE(plat::SystemShell().SpecialFolderPath(folder, path));
  return path;
}

std::string InstallTest::StartMenuLink() const {
  return SpecialFolder(plat::SpecialFolder::kStartMenu) + "\\Lumidesk\\Lumidesk.exe.lnk";
}
std::string InstallTest::ProgramsLink() const {
  return SpecialFolder(plat::SpecialFolder::kPrograms) + "\\Lumidesk\\Lumidesk.exe.lnk";
}
std::string InstallTest::DesktopLink() const {
  return SpecialFolder(plat::SpecialFolder::kDesktopDirectory) + "\\Lumidesk.lnk";
}

bool InstallTest::RecordExists() const {
  return registry_.KeyExists(plat::kHKeyLocalMachine, "SOFTWARE\\NORTAVIA\\Zentaro");
}

std::string InstallTest::RecordValue(const std::string& name) const {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (!registry_.GetValue(plat::kHKeyLocalMachine, "SOFTWARE\\NORTAVIA\\Zentaro", name, type,
                          data))
    return "<missing>";
  EXPECT_EQ(type, plat::reg::kSz) << name;
  return std::string(data.begin(), data.end());
}

int InstallTest::BoxesTitled(const std::string& title) const {
  int n = 0;
  for (const auto& b : gui_.Boxes())
    if (b.title == title) ++n;
  return n;
}

}  // namespace wizardtest
