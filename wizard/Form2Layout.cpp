// The folder chooser: a path field, a folder list with the two buttons to its right, and the
// drive list below. Client area 275 x 258. Neither button is default or cancel, so Enter and
// Escape do not close the dialog.
#include "wizard/Layouts.h"
#include "platform/gui/StdControls.h"

namespace wizard {

namespace {

using gui::ControlKind;
using gui::ControlDef;
using gui::FontDef;
using gui::kDefaultColor;

constexpr FontDef kInherit{nullptr, 0, 0, 0};
constexpr FontDef kSans{"MS Sans Serif", 8, gui::clWindowText, 0};

const gui::FormDef kForm2{"Form2",
                           "Seleziona percorso",
                           275,
                           258,
                           gui::TBorderStyle::bsDialog,
                           gui::TPosition::poScreenCenter,
                           gui::clBtnFace,
                           kSans};

const ControlDef kForm2Controls[] = {
    // name, kind, parent, left, top, width, height, caption, colour, font, Tag, visible,
    // handler, options, ref
    {"Label5", ControlKind::Label, "", 8, 8, 260, 13, "Selezionare un nuovo percorso per l'installazione", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"Label3", ControlKind::Label, "", 8, 32, 60, 13, "Percorso:", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"Edit1", ControlKind::Edit, "", 8, 48, 229, 21, "", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"Label2", ControlKind::Label, "", 8, 78, 60, 13, "Directory:", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"Label4", ControlKind::Label, "", 8, 94, 145, 13, "", kDefaultColor, kInherit, 0, false, "", 0, ""},
    {"DirectoryListBox1", ControlKind::FolderList, "", 8, 94, 145, 97, "", kDefaultColor, kInherit, 0, true, "DirectoryListBox1Change", 0, ""},
    {"Button1", ControlKind::Button, "", 168, 94, 75, 25, "Conferma", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"Button2", ControlKind::Button, "", 168, 126, 75, 25, "Annulla", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"Label1", ControlKind::Label, "", 8, 200, 60, 13, "Driver:", kDefaultColor, kInherit, 0, true, "", 0, ""},
    {"DriveComboBox1", ControlKind::DriveList, "", 8, 216, 145, 19, "", kDefaultColor, kInherit, 0, true, "", 0, "DirectoryListBox1"},
};

}  // namespace

LayoutTable Form2Layout() {
  return LayoutTable{kForm2, kForm2Controls, sizeof kForm2Controls / sizeof kForm2Controls[0]};
}

}  // namespace wizard
