// The statistics card and the install record, one row per value the record keeps: its value
// name, the tag the mailed card gives it, where its text comes from (the edit box or check box
// the user fills in, named as the window's layout names it), whether the card's forward button
// wants it filled, and its place in the pre-fill's and the card's orders. Closing writes the
// record in the table's order and the uninstall deletes it in that order. Everything that
// knows which field is which box takes it from here: the card's check, the record, the mailed
// card and the tests.
#pragma once

namespace wizard {

// Where a field's text comes from: the program's path and the version are not typed by the
// user.
enum class FieldSource { kProgram, kVersion, kEdit, kCheckBox };

struct CardField {
  const char* value;    // the record's value name
  const char* tag;      // the card body's tag; null when the card does not mail it
  FieldSource source;
  const char* control;  // the edit box or check box; null for the other sources
  bool required;        // an edit box that must hold at least one character to mail the card
  int prefillPlace;     // place in the pre-fill's order, from 1; 0 when not read back
  int cardPlace;        // place in the card body, from 1; 0 when not mailed
};

// The record's value that names the installed program, which the uninstall reads back.
constexpr char kRootDirValue[] = "RootDir";

// The check box in the record and on the card: the record's spelling is also the only one the
// pre-fill takes for checked.
constexpr char kRecordChecked[] = "True";
constexpr char kRecordUnchecked[] = "False";
constexpr char kCardChecked[] = "TRUE";
constexpr char kCardUnchecked[] = "FALSE";

// The card's tags differ from the value names for the phone and the version; the phone is the
// one field the card does without.
inline constexpr CardField kCardFields[] = {
    // value        card tag     source                    control      required pre-fill card
    {kRootDirValue, nullptr,     FieldSource::kProgram,    nullptr,     false,   0,       0},
    {"version",     "VERSIONE",  FieldSource::kVersion,    nullptr,     false,   0,       9},
    {"Cognome",     "Cognome",   FieldSource::kEdit,       "Edit1",     true,    1,       1},
    {"Nome",        "Nome",      FieldSource::kEdit,       "Edit2",     true,    2,       2},
    {"Indirizzo",   "Indirizzo", FieldSource::kEdit,       "Edit7",     true,    5,       3},
    {"Citta",       "Citta",     FieldSource::kEdit,       "Edit3",     true,    3,       4},
    {"Prov",        "Prov",      FieldSource::kEdit,       "Edit4",     true,    4,       5},
    {"Eta",         "Eta",       FieldSource::kEdit,       "Edit5",     true,    6,       6},
    {"Tel",         "Cellulare", FieldSource::kEdit,       "Edit6",     false,   7,       7},
    {"Maschio",     "Maschio",   FieldSource::kCheckBox,   "CheckBox1", false,   8,       8},
};

// The row of a record value, found while compiling when the result initialises a constexpr
// reference, so that a misspelt name does not compile.
constexpr const CardField& CardFieldOf(const char* value) {
  for (const CardField& f : kCardFields) {
    int i = 0;
    while (f.value[i] != '\0' && f.value[i] == value[i]) ++i;
    if (f.value[i] == value[i]) return f;
  }
  throw "not a value of the install record";
}

}  // namespace wizard
