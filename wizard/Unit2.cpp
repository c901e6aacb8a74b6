// The folder chooser.
#include "wizard/Unit2.h"

#include "platform/Error.h"
#include "wizard/Layouts.h"

namespace wizard {

namespace {
template <class T>
T* Need(gui::TForm& form, const char* name) {
  T* c = form.Find<T>(name);
  if (!c) throw plat::Error(std::string("Missing control ") + name);
  return c;
}
}  // namespace

TForm2::TForm2(gui::TComponent* owner) : TForm(owner) {
  const LayoutTable t = Form2Layout();
  gui::BuildLayout(
      *this, t.form, t.controls, t.count,
      [this](const std::string& name) -> gui::TNotifyEvent {
        if (name == "DirectoryListBox1Change")
          return [this](gui::TComponent* s) { DirectoryListBox1Change(s); };
        return nullptr;
      },
      [](const std::string&) { return gui::TPicture(); },
      [](const std::string&) { return std::string(); });
  Label1 = Need<gui::TLabel>(*this, "Label1");
  Label2 = Need<gui::TLabel>(*this, "Label2");
  Label3 = Need<gui::TLabel>(*this, "Label3");
  Label4 = Need<gui::TLabel>(*this, "Label4");
  Label5 = Need<gui::TLabel>(*this, "Label5");
  Edit1 = Need<gui::TEdit>(*this, "Edit1");
  DirectoryListBox1 = Need<gui::TDirectoryListBox>(*this, "DirectoryListBox1");
  DriveComboBox1 = Need<gui::TDriveComboBox>(*this, "DriveComboBox1");
  Button1 = Need<gui::TButton>(*this, "Button1");
  Button2 = Need<gui::TButton>(*this, "Button2");
  Button1->SetModalResult(gui::mrOk);
  Button2->SetModalResult(gui::mrCancel);
}

void TForm2::DirectoryListBox1Change(gui::TComponent*) {
  Edit1->SetText(DirectoryListBox1->Directory());
}

}  // namespace wizard
