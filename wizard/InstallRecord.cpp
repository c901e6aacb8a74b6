// The install record's four uses of the card table.
#include "wizard/InstallRecord.h"

#include "platform/Error.h"
#include "wizard/CardFields.h"
#include "wizard/InstallHost.h"
#include "wizard/Services.h"
#include "wizard/Texts.h"

namespace wizard {

namespace {

constexpr int kFieldCount = sizeof kCardFields / sizeof kCardFields[0];

// The fields that take part in a use, in that use's order.
template <class Use>
void InOrder(int CardField::*place, Use use) {
  for (int n = 1; n <= kFieldCount; ++n)
    for (const CardField& f : kCardFields)
      if (f.*place == n) use(f);
}

std::string TextOf(const CardField& f, const InstallHost& host, bool onCard) {
  switch (f.source) {
    case FieldSource::kProgram: return host.DestinationFolder() + kRecordedProgram;
    case FieldSource::kVersion: return host.VersionText();
    case FieldSource::kEdit: return host.CardText(f);
    case FieldSource::kCheckBox:
      if (host.CardChecked(f)) return onCard ? kCardChecked : kRecordChecked;
      return onCard ? kCardUnchecked : kRecordUnchecked;
  }
  return std::string();
}

}  // namespace

bool OpenInstallRecord(plat::RegistryAccess& reg, bool create) {
  reg.SetRootKey(plat::kHKeyLocalMachine);
  reg.SetLazyWrite(false);
  return reg.OpenKey(kInstallRecordKey, create);
}

void WriteInstallRecord(const InstallHost& host) {
  plat::RegistryAccess reg(CurrentServices().Registry());
  // Without the key every write would go to the root key itself.
  if (!OpenInstallRecord(reg, true)) {
    throw plat::Error(std::string("Failed to set data for '") + kCardFields[0].value + "'");
  }
  for (const CardField& f : kCardFields) reg.WriteString(f.value, TextOf(f, host, false));
  reg.CloseKey();
}

void PrefillCard(InstallHost& host) {
  plat::RegistryAccess reg(CurrentServices().Registry());
  // Without the record the card stays empty (reading with no key open would read the root).
  if (!OpenInstallRecord(reg, false)) return;
  InOrder(&CardField::prefillPlace, [&](const CardField& f) {
    const std::string text = reg.ReadString(f.value);
    if (f.source == FieldSource::kEdit) {
      host.SetCardText(f, text);
    } else if (f.source == FieldSource::kCheckBox && text == kRecordChecked) {
      // An unchecked record leaves the box as it is.
      host.SetCardChecked(f, true);
    }
  });
  reg.CloseKey();
}

bool DeleteInstallRecord(std::string& rootDir) {
  plat::RegistryAccess reg(CurrentServices().Registry());
  if (!OpenInstallRecord(reg, false)) return false;
  rootDir = reg.ReadString(kRootDirValue);
  for (const CardField& f : kCardFields) reg.DeleteValue(f.value);
  reg.CloseKey();
  reg.DeleteKey(kInstallRecordKey);
  return true;
}

std::string CardBody(const InstallHost& host, const std::string& notice) {
  static const char kLineEnd[] = "\r\n";
  std::string body;
  InOrder(&CardField::cardPlace, [&](const CardField& f) {
    body += std::string("<") + f.tag + ">" + TextOf(f, host, true) + "</" + f.tag + ">" + kLineEnd;
  });
  body += kCardAcceptLine;
  body += kLineEnd;
  // The notice as the box holds it now (the user may have edited it), nothing added after it.
  body += notice;
  return body;
}

}  // namespace wizard
