// The folder chooser.
#include "wizard/Unit2.h"

#include "wizard/Layouts.h"

namespace wizard {

TForm2::TForm2(gui::TComponent* owner) : TForm(owner) {
  gui::BuildLayout(*this, Form2Layout());
  Button1->SetModalResult(gui::mrOk);
  Button2->SetModalResult(gui::mrCancel);
}

void TForm2::DirectoryListBox1Change(gui::TComponent*) {
  Edit1->SetText(DirectoryListBox1->Directory());
}

}  // namespace wizard
