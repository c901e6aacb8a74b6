// The install record: the registry key under HKEY_LOCAL_MACHINE that closing after an
// installation writes, that construction pre-fills the statistics card from, that start-up
// probes for and that the uninstall deletes, and its ten string values. The card table
// (CardFields.h) names each value, the tag under which the card mails the same field, the
// control it comes from and the order of each use; the functions here take their spellings and
// orders from it, and reach the window through InstallHost.h.
#pragma once

#include <string>

#include "platform/Registry.h"

namespace wizard {

class InstallHost;

constexpr char kInstallRecordKey[] = "\\SOFTWARE\\NORTAVIA\\Zentaro";
// The program file the record names, whatever the payload holds.
constexpr char kRecordedProgram[] = "\\Zentaro.exe";

// Selects HKEY_LOCAL_MACHINE, turns lazy writing off (closing the key flushes it) and opens the
// record's key, creating it when `create` is set. False when the key cannot be opened.
bool OpenInstallRecord(plat::RegistryAccess& reg, bool create);

// Closing after an installation: the ten values from the window, in the record's order.
// Throws the registry layer's error naming the first value that cannot be written; a key that
// cannot be opened fails as its first value would.
void WriteInstallRecord(const InstallHost& host);

// Construction: the card's fields from the record, when there is one. A value that is missing
// leaves its field empty; the check box is checked only by exactly the spelling closing writes.
void PrefillCard(InstallHost& host);

// The uninstall: reads RootDir, deletes the ten values and then the key. False, with nothing
// done, when there is no record.
bool DeleteInstallRecord(std::string& rootDir);

// The card as mailed: the fields' tagged lines, the version, the acceptance line and the
// privacy notice as the user left it.
std::string CardBody(const InstallHost& host, const std::string& notice);

}  // namespace wizard
