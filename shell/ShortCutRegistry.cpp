// TMyShortCut: the browser entries (toolbar button, Tools menu, context menu) and the Find-menu
// entry with the program's App Paths entry and its COM local-server registration.
//
// Each operation works through one registry access object of its own with lazy writing off,
// so every key is flushed when it is closed. A key that cannot be opened is skipped; a value
// that cannot be written raises plat::Error and ends the operation.
#include <string>

#include "platform/Registry.h"
#include "shell/ShortCut.h"

namespace shell {

namespace {

// Browser keys (HKEY_LOCAL_MACHINE). The two extension keys are fixed class identifiers, not
// the component's properties.
constexpr char kToolbarButtonKey[] =
    "\\SOFTWARE\\MICROSOFT\\Internet Explorer\\Extensions\\"
    "{4B30061A-5D23-11D3-80F8-0090276F843F}";
constexpr char kToolsMenuKey[] =
    "\\SOFTWARE\\MICROSOFT\\Internet Explorer\\Extensions\\"
    "{4B30061A-5D22-11D3-80F8-0090276F843F}";
// The browser's own handler class for buttons and menu entries that run a program. The menu
// entry's spelling differs from the button's in one letter ("11d2"); both are kept as they are
// registered.
constexpr char kRunProgramHandlerButton[] = "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}";
constexpr char kRunProgramHandlerMenu[] = "{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}";
// Context-menu keys: HKEY_CURRENT_USER and the default profile under HKEY_USERS; the entry's
// text follows the prefix, which ends in a space.
constexpr char kContextMenuPrefix[] =
    "\\SOFTWARE\\MICROSOFT\\Internet Explorer\\MenuExt\\Ricerca utilizzando ";
constexpr char kDefaultProfileContextMenuPrefix[] =
    "\\.DEFAULT\\SOFTWARE\\MICROSOFT\\Internet Explorer\\MenuExt\\Ricerca utilizzando ";

constexpr char kValueButtonText[] = "ButtonText";
constexpr char kValueClsid[] = "CLSID";
constexpr char kValueDefaultVisible[] = "Default Visible";
constexpr char kValueExec[] = "Exec";
constexpr char kValueHotIcon[] = "HotIcon";
constexpr char kValueIcon[] = "Icon";
constexpr char kValueMenuCustomize[] = "MenuCustomize";
constexpr char kValueMenuStatusBar[] = "MenuStatusBar";
constexpr char kValueMenuText[] = "MenuText";
constexpr char kDefaultVisibleYes[] = "Yes";
constexpr char kMenuCustomizeTools[] = "Tools";

// Find-menu keys (HKEY_LOCAL_MACHINE), spelt as the shell registers them.
constexpr char kFindExtensionsStatic[] =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static\\";
constexpr char kFindFirstEntry[] = "\\0";
constexpr char kFindDefaultIcon[] = "\\0\\DefaultIcon";
constexpr char kAppPaths[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr char kClsidRoot[] = "\\CLSID\\";
constexpr char kLocalServer32[] = "\\LocalServer32";
constexpr char kFirstIcon[] = ",0";
constexpr char kValuePath[] = "Path";
constexpr char kValueThreadingModel[] = "ThreadingModel";
constexpr char kThreadingBoth[] = "Both";

constexpr char kDefaultValue[] = "";

// One registry access object per operation, lazy writing off.
class Registration {
 public:
  explicit Registration(plat::RegistryBackend& backend) : access_(backend) {
    access_.SetLazyWrite(false);
  }
  plat::RegistryAccess* operator->() { return &access_; }

 private:
  plat::RegistryAccess access_;
};

std::string FindExtensionKey(const std::string& exeName) { return kFindExtensionsStatic + exeName; }

std::string LocalServerKey(const std::string& clsid) { return kClsidRoot + clsid + kLocalServer32; }

}  // namespace

void TMyShortCut::RegisterExplorer() {
  Registration reg(registry_);
  reg->SetRootKey(plat::kHKeyLocalMachine);
  if (reg->OpenKey(kToolbarButtonKey, true)) {
    reg->WriteString(kValueButtonText, DescrizioneExeInForder);
    reg->WriteString(kValueClsid, kRunProgramHandlerButton);
    reg->WriteString(kValueDefaultVisible, kDefaultVisibleYes);
    reg->WriteString(kValueExec, FilePathName);
    reg->WriteString(kValueHotIcon, IconPathName);
    reg->WriteString(kValueIcon, IconPathName);
    reg->CloseKey();
  }
  if (reg->OpenKey(kToolsMenuKey, true)) {
    reg->WriteString(kValueClsid, kRunProgramHandlerMenu);
    reg->WriteString(kValueExec, FilePathName);
    reg->WriteString(kValueMenuCustomize, kMenuCustomizeTools);
    reg->WriteString(kValueMenuStatusBar, MenuText);
    reg->WriteString(kValueMenuText, MenuText);
    reg->CloseKey();
  }
  reg->SetRootKey(plat::kHKeyCurrentUser);
  if (reg->OpenKey(kContextMenuPrefix + DescrizioneExeInForder, true)) {
    reg->WriteString(kDefaultValue, FilePathName);
    reg->CloseKey();
  }
  reg->SetRootKey(plat::kHKeyUsers);
  if (reg->OpenKey(kDefaultProfileContextMenuPrefix + DescrizioneExeInForder, true)) {
    reg->WriteString(kDefaultValue, FilePathName);
    reg->CloseKey();
  }
}

void TMyShortCut::DeRegisterExplorer() {
  Registration reg(registry_);
  reg->SetRootKey(plat::kHKeyLocalMachine);
  if (reg->OpenKey(kToolbarButtonKey, false)) {
    for (const char* name : {kValueButtonText, kValueClsid, kValueDefaultVisible, kValueExec,
                             kValueHotIcon, kValueIcon}) {
      reg->DeleteValue(name);
    }
    reg->CloseKey();
    reg->DeleteKey(kToolbarButtonKey);
  }
  if (reg->OpenKey(kToolsMenuKey, false)) {
    for (const char* name : {kValueClsid, kValueExec, kValueMenuCustomize, kValueMenuStatusBar,
                             kValueMenuText}) {
      reg->DeleteValue(name);
    }
    reg->CloseKey();
    reg->DeleteKey(kToolsMenuKey);
  }
  const std::pair<plat::RegKey, std::string> contextMenus[] = {
      {plat::kHKeyCurrentUser, kContextMenuPrefix + DescrizioneExeInForder},
      {plat::kHKeyUsers, kDefaultProfileContextMenuPrefix + DescrizioneExeInForder},
  };
  for (const auto& entry : contextMenus) {
    reg->SetRootKey(entry.first);
    if (reg->OpenKey(entry.second, false)) {
      reg->DeleteValue(kDefaultValue);
      reg->CloseKey();
      reg->DeleteKey(entry.second);
    }
  }
}

void TMyShortCut::CreateTrovaLink() {
  Registration reg(registry_);
  reg->SetRootKey(plat::kHKeyLocalMachine);
  // Creating the icon key also creates the extension's key and its "0" entry below.
  if (!reg->OpenKey(FindExtensionKey(ExeName) + kFindDefaultIcon, true)) return;
  reg->WriteString(kDefaultValue, FilePathName + kFirstIcon);
  reg->CloseKey();
  if (reg->OpenKey(FindExtensionKey(ExeName) + kFindFirstEntry, false)) {
    reg->WriteString(kDefaultValue, MenuText);
    reg->CloseKey();
  }
  if (reg->OpenKey(FindExtensionKey(ExeName), false)) {
    reg->WriteString(kDefaultValue, CLSIDExplore);
    reg->CloseKey();
  }
  // Without a file name there is no App Paths entry to make: the bare App Paths key is shared
  // by every program and is left alone.
  const std::string programFile = plat::ExtractFileName(FilePathName);
  if (!programFile.empty() && reg->OpenKey(kAppPaths + programFile, true)) {
    reg->WriteString(kDefaultValue, FilePathName);
    reg->WriteString(kValuePath, plat::ExtractFilePath(FilePathName));
    reg->CloseKey();
  }
  for (plat::RegKey root : {plat::kHKeyLocalMachine, plat::kHKeyClassesRoot}) {
    reg->SetRootKey(root);
    if (reg->OpenKey(LocalServerKey(CLSIDExplore), true)) {
      reg->WriteString(kDefaultValue, FilePathName);
      reg->WriteString(kValueThreadingModel, kThreadingBoth);
      reg->CloseKey();
    }
  }
}

void TMyShortCut::DeleteTrovaLink() {
  Registration reg(registry_);
  reg->SetRootKey(plat::kHKeyLocalMachine);
  if (!reg->OpenKey(FindExtensionKey(ExeName) + kFindDefaultIcon, true)) return;
  reg->DeleteValue(kDefaultValue);
  reg->CloseKey();
  if (reg->OpenKey(FindExtensionKey(ExeName) + kFindFirstEntry, false)) {
    reg->DeleteValue(kDefaultValue);
    reg->CloseKey();
  }
  if (reg->OpenKey(FindExtensionKey(ExeName), false)) {
    reg->DeleteValue(kDefaultValue);
    reg->CloseKey();
  }
  const std::string programFile = plat::ExtractFileName(FilePathName);
  if (!programFile.empty() && reg->OpenKey(kAppPaths + programFile, true)) {
    reg->DeleteValue(kDefaultValue);
    reg->DeleteValue(kValuePath);
    reg->CloseKey();
  }
  for (plat::RegKey root : {plat::kHKeyLocalMachine, plat::kHKeyClassesRoot}) {
    reg->SetRootKey(root);
    if (reg->OpenKey(LocalServerKey(CLSIDExplore), true)) {
      reg->DeleteValue(kDefaultValue);
      reg->DeleteValue(kValueThreadingModel);
      reg->CloseKey();
    }
  }
}

}  // namespace shell
