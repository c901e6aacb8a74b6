// TMyShortCut: the Find-menu entry with the program's App Paths entry and its COM local-server
// registration, and the browser entries (toolbar button, Tools menu, context menu), as the rows
// of one table and the walks over it.
//
// Each operation works through one registry access object of its own with lazy writing off,
// so every key is flushed when it is closed. A key that cannot be opened is skipped, except
// where its row says the operation ends there; a value that cannot be written raises
// plat::Error and ends the operation.
#include "shell/ShortCutRegistry.h"

#include <cstring>
#include <string>

#include "platform/Registry.h"
#include "shell/ShortCut.h"

namespace shell {

namespace {

constexpr char kFindExtensions[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static\\";
constexpr char kToolbarButton[] =
    "SOFTWARE\\MICROSOFT\\Internet Explorer\\Extensions\\{4B30061A-5D23-11D3-80F8-0090276F843F}";
constexpr char kToolsMenu[] =
    "SOFTWARE\\MICROSOFT\\Internet Explorer\\Extensions\\{4B30061A-5D22-11D3-80F8-0090276F843F}";
constexpr char kAppPaths[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";

constexpr Composed Fixed(const char* text) { return {text, Property::kNone, ""}; }
constexpr Composed Of(Property property, const char* tail = "") { return {"", property, tail}; }

using P = Property;
constexpr plat::RegKey kMachine = plat::kHKeyLocalMachine;
constexpr Integration kFind = Integration::kFindMenu;
constexpr Integration kBrowser = Integration::kBrowser;

}  // namespace

const std::vector<RegistryRow>& RegistryRows() {
  static const std::vector<RegistryRow> rows = {
      // Creating the icon key also creates the extension's key and its "0" entry above it, which
      // are then only opened.
      {kFind, kMachine, {kFindExtensions, P::kExeName, "\\0\\DefaultIcon"},
       KeyOpen::kCreateOrStop, Removal::kValue, "", Of(P::kFilePathName, ",0")},
      {kFind, kMachine, {kFindExtensions, P::kExeName, "\\0"},
       KeyOpen::kExisting, Removal::kValue, "", Of(P::kMenuText)},
      {kFind, kMachine, {kFindExtensions, P::kExeName, ""},
       KeyOpen::kExisting, Removal::kValue, "", Of(P::kClsidExplore)},
      {kFind, kMachine, {kAppPaths, P::kProgramFile, ""},
       KeyOpen::kCreate, Removal::kValue, "", Of(P::kFilePathName)},
      {kFind, kMachine, {kAppPaths, P::kProgramFile, ""},
       KeyOpen::kCreate, Removal::kValue, "Path", Of(P::kProgramFolder)},
      // A key directly below HKEY_LOCAL_MACHINE may be refused; the classes root's own follows
      // either way.
      {kFind, kMachine, {"CLSID\\", P::kClsidExplore, "\\LocalServer32"},
       KeyOpen::kCreate, Removal::kValue, "", Of(P::kFilePathName)},
      {kFind, kMachine, {"CLSID\\", P::kClsidExplore, "\\LocalServer32"},
       KeyOpen::kCreate, Removal::kValue, "ThreadingModel", Fixed("Both")},
      {kFind, plat::kHKeyClassesRoot, {"CLSID\\", P::kClsidExplore, "\\LocalServer32"},
       KeyOpen::kCreate, Removal::kValue, "", Of(P::kFilePathName)},
      {kFind, plat::kHKeyClassesRoot, {"CLSID\\", P::kClsidExplore, "\\LocalServer32"},
       KeyOpen::kCreate, Removal::kValue, "ThreadingModel", Fixed("Both")},

      // The two extension keys are fixed class identifiers, not the component's properties.
      // Both name the browser's own handler for entries that run a program; the menu entry
      // spells it with "11d2", the button with "11D2", and both are kept as registered.
      {kBrowser, kMachine, Fixed(kToolbarButton),
       KeyOpen::kCreate, Removal::kKey, "ButtonText", Of(P::kDescrizioneExeInForder)},
      {kBrowser, kMachine, Fixed(kToolbarButton),
       KeyOpen::kCreate, Removal::kKey, "CLSID", Fixed("{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}")},
      {kBrowser, kMachine, Fixed(kToolbarButton),
       KeyOpen::kCreate, Removal::kKey, "Default Visible", Fixed("Yes")},
      {kBrowser, kMachine, Fixed(kToolbarButton),
       KeyOpen::kCreate, Removal::kKey, "Exec", Of(P::kFilePathName)},
      {kBrowser, kMachine, Fixed(kToolbarButton),
       KeyOpen::kCreate, Removal::kKey, "HotIcon", Of(P::kIconPathName)},
      {kBrowser, kMachine, Fixed(kToolbarButton),
       KeyOpen::kCreate, Removal::kKey, "Icon", Of(P::kIconPathName)},
      {kBrowser, kMachine, Fixed(kToolsMenu),
       KeyOpen::kCreate, Removal::kKey, "CLSID", Fixed("{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}")},
      {kBrowser, kMachine, Fixed(kToolsMenu),
       KeyOpen::kCreate, Removal::kKey, "Exec", Of(P::kFilePathName)},
      {kBrowser, kMachine, Fixed(kToolsMenu),
       KeyOpen::kCreate, Removal::kKey, "MenuCustomize", Fixed("Tools")},
      {kBrowser, kMachine, Fixed(kToolsMenu),
       KeyOpen::kCreate, Removal::kKey, "MenuStatusBar", Of(P::kMenuText)},
      {kBrowser, kMachine, Fixed(kToolsMenu),
       KeyOpen::kCreate, Removal::kKey, "MenuText", Of(P::kMenuText)},
      // The context-menu entry of the current user and of the default profile: its text follows
      // the prefix, which ends in a space even when the description is empty.
      {kBrowser, plat::kHKeyCurrentUser,
       {"SOFTWARE\\MICROSOFT\\Internet Explorer\\MenuExt\\Ricerca utilizzando ",
        P::kDescrizioneExeInForder, ""},
       KeyOpen::kCreate, Removal::kKey, "", Of(P::kFilePathName)},
      {kBrowser, plat::kHKeyUsers,
       {".DEFAULT\\SOFTWARE\\MICROSOFT\\Internet Explorer\\MenuExt\\Ricerca utilizzando ",
        P::kDescrizioneExeInForder, ""},
       KeyOpen::kCreate, Removal::kKey, "", Of(P::kFilePathName)},
  };
  return rows;
}

namespace {

std::string Text(const TMyShortCut& c, Property property) {
  switch (property) {
    case P::kNone: return std::string();
    case P::kFilePathName: return c.FilePathName;
    case P::kProgramFile: return plat::ExtractFileName(c.FilePathName);
    case P::kProgramFolder: return plat::ExtractFilePath(c.FilePathName);
    case P::kIconPathName: return c.IconPathName;
    case P::kMenuText: return c.MenuText;
    case P::kDescrizioneExeInForder: return c.DescrizioneExeInForder;
    case P::kExeName: return c.ExeName;
    case P::kClsidExplore: return c.CLSIDExplore;
  }
  return std::string();
}

std::string Compose(const TMyShortCut& c, const Composed& text) {
  return text.head + Text(c, text.property) + text.tail;
}

bool SameKey(const RegistryRow& a, const RegistryRow& b) {
  return a.integration == b.integration && a.root == b.root && a.open == b.open &&
         a.removal == b.removal && a.key.property == b.key.property &&
         std::strcmp(a.key.head, b.key.head) == 0 && std::strcmp(a.key.tail, b.key.tail) == 0;
}

// The rows of one key: [first, last).
struct KeyRows {
  const RegistryRow* first;
  const RegistryRow* last;
  const RegistryRow& key() const { return *first; }
};

// Calls visit(rows, path) for each key of the integration in table order, with the key's path
// for the component's properties; visit answers false to end the walk.
template <typename Visit>
void ForEachKey(const TMyShortCut& c, Integration which, Visit visit) {
  const std::vector<RegistryRow>& table = RegistryRows();
  const RegistryRow* const end = table.data() + table.size();
  for (const RegistryRow* row = table.data(); row != end;) {
    KeyRows rows{row, row + 1};
    while (rows.last != end && SameKey(*rows.last, *row)) ++rows.last;
    row = rows.last;
    if (rows.key().integration != which) continue;
    if (rows.key().key.property == P::kProgramFile && Text(c, P::kProgramFile).empty()) continue;
    if (!visit(rows, Compose(c, rows.key().key))) return;
  }
}

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

enum class Opened { kYes, kSkipped, kEnded };

Opened Open(Registration& reg, const RegistryRow& key, const std::string& path, bool create) {
  reg->SetRootKey(key.root);
  if (reg->OpenKey("\\" + path, create)) return Opened::kYes;
  return key.open == KeyOpen::kCreateOrStop ? Opened::kEnded : Opened::kSkipped;
}

void WriteRows(plat::RegistryBackend& backend, const TMyShortCut& c, Integration which) {
  Registration reg(backend);
  ForEachKey(c, which, [&](const KeyRows& rows, const std::string& path) {
    const Opened opened = Open(reg, rows.key(), path, rows.key().open != KeyOpen::kExisting);
    if (opened != Opened::kYes) return opened == Opened::kSkipped;
    for (const RegistryRow* row = rows.first; row != rows.last; ++row) {
      reg->WriteString(row->valueName, Compose(c, row->data));
    }
    reg->CloseKey();
    return true;
  });
}

void RemoveRows(plat::RegistryBackend& backend, const TMyShortCut& c, Integration which) {
  Registration reg(backend);
  ForEachKey(c, which, [&](const KeyRows& rows, const std::string& path) {
    const bool removeKey = rows.key().removal == Removal::kKey;
    // A key that goes away is only opened when it is there.
    const bool create = !removeKey && rows.key().open != KeyOpen::kExisting;
    const Opened opened = Open(reg, rows.key(), path, create);
    if (opened != Opened::kYes) return opened == Opened::kSkipped;
    for (const RegistryRow* row = rows.first; row != rows.last; ++row) {
      reg->DeleteValue(row->valueName);
    }
    reg->CloseKey();
    if (removeKey) reg->DeleteKey("\\" + path);
    return true;
  });
}

}  // namespace

std::vector<RegistryValue> RegistryWrites(const TMyShortCut& component, Integration which) {
  std::vector<RegistryValue> values;
  ForEachKey(component, which, [&](const KeyRows& rows, const std::string& path) {
    for (const RegistryRow* row = rows.first; row != rows.last; ++row) {
      values.push_back({row->root, path, row->valueName, Compose(component, row->data)});
    }
    return true;
  });
  return values;
}

std::vector<RegistryValue> RegistryWrites(const TMyShortCut& component) {
  std::vector<RegistryValue> values;
  // CreateLink runs the Find menu's registration before the browser's.
  for (Integration which : {kFind, kBrowser}) {
    const bool on = which == kFind ? component.CreateToTrova : component.CreateToExplorer;
    if (!on) continue;
    std::vector<RegistryValue> more = RegistryWrites(component, which);
    values.insert(values.end(), more.begin(), more.end());
  }
  return values;
}

void TMyShortCut::RegisterExplorer() { WriteRows(registry_, *this, kBrowser); }

void TMyShortCut::DeRegisterExplorer() { RemoveRows(registry_, *this, kBrowser); }

void TMyShortCut::CreateTrovaLink() { WriteRows(registry_, *this, kFind); }

void TMyShortCut::DeleteTrovaLink() { RemoveRows(registry_, *this, kFind); }

}  // namespace shell
