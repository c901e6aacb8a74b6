// The folder chooser: a path field, a folder list with the two buttons to its right, and the
// drive list below. Client area 275 x 258. Neither button is default or cancel, so Enter and
// Escape do not close the dialog.
#include "wizard/Layouts.h"

#include "wizard/Unit2.h"

namespace wizard {

namespace {

using gui::FontDef;
using Row = gui::LayoutRow<TForm2>;

constexpr FontDef kSans{"MS Sans Serif", 8, gui::clWindowText, 0};

const gui::FormDef kForm2{"Form2",
                           "Seleziona percorso",
                           275,
                           258,
                           gui::TBorderStyle::bsDialog,
                           gui::TPosition::poScreenCenter,
                           gui::clBtnFace,
                           kSans};

constexpr Row kForm2Controls[] = {
    Row::Control<&TForm2::Label5>("Label5").At(8, 8, 260, 13)
        .Caption("Selezionare un nuovo percorso per l'installazione"),
    Row::Control<&TForm2::Label3>("Label3").At(8, 32, 60, 13).Caption("Percorso:"),
    Row::Control<&TForm2::Edit1>("Edit1").At(8, 48, 229, 21),
    Row::Control<&TForm2::Label2>("Label2").At(8, 78, 60, 13).Caption("Directory:"),
    Row::Control<&TForm2::Label4>("Label4").At(8, 94, 145, 13).Hidden(),
    Row::Control<&TForm2::DirectoryListBox1>("DirectoryListBox1").At(8, 94, 145, 97)
        .OnChange(&TForm2::DirectoryListBox1Change),
    Row::Control<&TForm2::Button1>("Button1").At(168, 94, 75, 25).Caption("Conferma"),
    Row::Control<&TForm2::Button2>("Button2").At(168, 126, 75, 25).Caption("Annulla"),
    Row::Control<&TForm2::Label1>("Label1").At(8, 200, 60, 13).Caption("Driver:"),
    Row::Control<&TForm2::DriveComboBox1>("DriveComboBox1").At(8, 216, 145, 19)
        .Moves("DirectoryListBox1"),
};

}  // namespace

gui::Layout<TForm2> Form2Layout() {
  return {kForm2, kForm2Controls, sizeof kForm2Controls / sizeof kForm2Controls[0]};
}

}  // namespace wizard

