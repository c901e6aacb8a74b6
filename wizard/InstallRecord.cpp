// The install record's table and its four uses.
#include "wizard/InstallRecord.h"

#include "platform/Error.h"
#include "wizard/Services.h"
#include "wizard/Texts.h"
#include "wizard/Unit1.h"

namespace wizard {

namespace {

// Where a field's text comes from.
struct Source {
  enum Kind { kProgram, kVersion, kEdit, kCheckBox } kind;
  gui::TEdit* TForm1::*edit;
  gui::TCheckBox* TForm1::*checkBox;
  // A check box's texts when checked and when not, in the record and on the card.
  const char *recordChecked, *recordUnchecked, *cardChecked, *cardUnchecked;
};

constexpr Source Program() { return {Source::kProgram, nullptr, nullptr, "", "", "", ""}; }
constexpr Source Version() { return {Source::kVersion, nullptr, nullptr, "", "", "", ""}; }
constexpr Source Text(gui::TEdit* TForm1::*edit) {
  return {Source::kEdit, edit, nullptr, "", "", "", ""};
}
constexpr Source Flag(gui::TCheckBox* TForm1::*box, const char* recordChecked,
                      const char* recordUnchecked, const char* cardChecked,
                      const char* cardUnchecked) {
  return {Source::kCheckBox, nullptr,        box,          recordChecked,
          recordUnchecked,   cardChecked, cardUnchecked};
}

constexpr char kRootDir[] = "RootDir";

struct Field {
  const char* value;  // the record's value name
  const char* tag;    // the card body's tag; null when the card does not mail it
  Source source;
  int prefillPlace;  // place in the pre-fill's order, from 1; 0 when not read back
  int cardPlace;     // place in the card body, from 1; 0 when not mailed
};

// In the record's order: closing writes the values in it and the uninstall deletes them in it.
// The card's tags differ from the value names for the phone and the version; the check box is
// "True"/"False" in the record and "TRUE"/"FALSE" on the card.
const Field kFields[] = {
    // value      card tag     source                                            pre-fill card
    {kRootDir,    nullptr,     Program(),                                        0,       0},
    {"version",   "VERSIONE",  Version(),                                        0,       9},
    {"Cognome",   "Cognome",   Text(&TForm1::Edit1),                             1,       1},
    {"Nome",      "Nome",      Text(&TForm1::Edit2),                             2,       2},
    {"Indirizzo", "Indirizzo", Text(&TForm1::Edit7),                             5,       3},
    {"Citta",     "Citta",     Text(&TForm1::Edit3),                             3,       4},
    {"Prov",      "Prov",      Text(&TForm1::Edit4),                             4,       5},
    {"Eta",       "Eta",       Text(&TForm1::Edit5),                             6,       6},
    {"Tel",       "Cellulare", Text(&TForm1::Edit6),                             7,       7},
    {"Maschio",   "Maschio",   Flag(&TForm1::CheckBox1, "True", "False", "TRUE", "FALSE"), 8, 8},
};
constexpr int kFieldCount = sizeof kFields / sizeof kFields[0];

// The fields that take part in a use, in that use's order.
template <class Use>
void InOrder(int Field::*place, Use use) {
  for (int n = 1; n <= kFieldCount; ++n)
    for (const Field& f : kFields)
      if (f.*place == n) use(f);
}

std::string TextOf(const Field& f, const TForm1& form, bool onCard) {
  const Source& s = f.source;
  switch (s.kind) {
    case Source::kProgram: return form.LabelDir->Caption() + kRecordedProgram;
    case Source::kVersion: return form.VersionText();
    case Source::kEdit: return (form.*s.edit)->Text();
    case Source::kCheckBox:
      if ((form.*s.checkBox)->Checked()) return onCard ? s.cardChecked : s.recordChecked;
      return onCard ? s.cardUnchecked : s.recordUnchecked;
  }
  return std::string();
}

}  // namespace

bool OpenInstallRecord(plat::RegistryAccess& reg, bool create) {
  reg.SetRootKey(plat::kHKeyLocalMachine);
  reg.SetLazyWrite(false);
  return reg.OpenKey(kInstallRecordKey, create);
}

void WriteInstallRecord(const TForm1& form) {
  plat::RegistryAccess reg(CurrentServices().Registry());
  // Without the key every write would go to the root key itself.
  if (!OpenInstallRecord(reg, true)) {
    throw plat::Error(std::string("Failed to set data for '") + kFields[0].value + "'");
  }
  for (const Field& f : kFields) reg.WriteString(f.value, TextOf(f, form, false));
  reg.CloseKey();
}

void PrefillCard(TForm1& form) {
  plat::RegistryAccess reg(CurrentServices().Registry());
  // Without the record the card stays empty (reading with no key open would read the root).
  if (!OpenInstallRecord(reg, false)) return;
  InOrder(&Field::prefillPlace, [&](const Field& f) {
    const std::string text = reg.ReadString(f.value);
    if (f.source.kind == Source::kEdit) {
      (form.*f.source.edit)->SetText(text);
    } else if (f.source.kind == Source::kCheckBox && text == f.source.recordChecked) {
      // Exactly the spelling closing writes; an unchecked record leaves the box as it is.
      (form.*f.source.checkBox)->SetChecked(true);
    }
  });
  reg.CloseKey();
}

bool DeleteInstallRecord(std::string& rootDir) {
  plat::RegistryAccess reg(CurrentServices().Registry());
  if (!OpenInstallRecord(reg, false)) return false;
  rootDir = reg.ReadString(kRootDir);
  for (const Field& f : kFields) reg.DeleteValue(f.value);
  reg.CloseKey();
  reg.DeleteKey(kInstallRecordKey);
  return true;
}

std::string CardBody(const TForm1& form) {
  static const char kLineEnd[] = "\r\n";
  std::string body;
  InOrder(&Field::cardPlace, [&](const Field& f) {
    body += std::string("<") + f.tag + ">" + TextOf(f, form, true) + "</" + f.tag + ">" + kLineEnd;
  });
  body += kCardAcceptLine;
  body += kLineEnd;
  // The notice as the box holds it now (the user may have edited it), nothing added after it.
  body += form.Memo3->Text();
  return body;
}

}  // namespace wizard
