// The browser and Find-menu registrations of TMyShortCut as rows, one per registry value: the
// root and key it lives in, its name, where its data comes from, how its key is opened and what
// removing it takes away. RegisterExplorer, DeRegisterExplorer, CreateTrovaLink and
// DeleteTrovaLink walk these rows; RegistryWrites resolves them for a component, so that other
// code can learn which values an operation may write before it runs.
#pragma once

#include <string>
#include <vector>

#include "platform/RegistryBackend.h"

namespace shell {

class TMyShortCut;

// The browser's entries (RegisterExplorer, DeRegisterExplorer; CreateLink runs them when
// CreateToExplorer is set) and the Find menu's (CreateTrovaLink, DeleteTrovaLink; CreateToTrova).
enum class Integration { kBrowser, kFindMenu };

// A component property a key or a value's data is made from.
enum class Property {
  kNone,
  kFilePathName,
  kProgramFile,    // FilePathName after its last "\" or ":"
  kProgramFolder,  // FilePathName up to and including its last "\" or ":"
  kIconPathName,
  kMenuText,
  kDescrizioneExeInForder,
  kExeName,
  kClsidExplore,
};

// head + the property's text + tail.
struct Composed {
  const char* head;
  Property property;
  const char* tail;
};

// How an operation opens a row's key.
enum class KeyOpen {
  kCreate,        // created when missing; a key that cannot be opened is skipped
  kExisting,      // a missing key is skipped
  kCreateOrStop,  // created when missing; when that fails the operation ends there
};

// What the removal (DeRegisterExplorer, DeleteTrovaLink) takes away.
enum class Removal {
  kValue,  // the value only; its key is opened as for writing, so removal may leave it empty
  kKey,    // the value, then the key with everything below it; a missing key is skipped
};

struct RegistryRow {
  Integration integration;
  plat::RegKey root;
  Composed key;  // from the root, without a leading "\"
  KeyOpen open;
  Removal removal;
  const char* valueName;  // "" names the key's default value
  Composed data;          // written as REG_SZ
};

// Every row, in the order written. Consecutive rows of one key are written through one opening
// of it. A key named after the program file is skipped when FilePathName names no file: the
// bare App Paths key is every program's.
const std::vector<RegistryRow>& RegistryRows();

// A row resolved for a component's current properties.
struct RegistryValue {
  plat::RegKey root;
  std::string key;  // from the root, without a leading "\"
  std::string valueName;
  std::string data;
};

// Every value the integration may write for the component as it is now, in the order written.
std::vector<RegistryValue> RegistryWrites(const TMyShortCut& component, Integration which);
// Every value CreateLink's registrations may write with the component's current switches.
std::vector<RegistryValue> RegistryWrites(const TMyShortCut& component);

}  // namespace shell
