// TForm2: the modal folder chooser. Edit1 holds the path being chosen and is the dialog's
// result; the folder list follows the drive list and writes every folder it moves to into
// Edit1; "Conferma" closes with OK, "Annulla" (and the close box) with Cancel.
#pragma once

#include "platform/gui/FileControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/StdControls.h"

namespace wizard {

class TForm2 : public gui::TForm {
 public:
  explicit TForm2(gui::TComponent* owner);

  // Controls (owned by the window), each stored by its row of the layout table.
  gui::TLabel* Label1;
  gui::TLabel* Label2;
  gui::TLabel* Label3;
  gui::TLabel* Label4;
  gui::TLabel* Label5;
  gui::TEdit* Edit1;
  gui::TDirectoryListBox* DirectoryListBox1;
  gui::TDriveComboBox* DriveComboBox1;
  gui::TButton* Button1;
  gui::TButton* Button2;

  void DirectoryListBox1Change(gui::TComponent* sender);
};

}  // namespace wizard
