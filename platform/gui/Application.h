// The application object: creates forms and knows the main one, runs the message loop, shows
// message boxes, owns the screen cursor and the exception display. One is current at a time
// (the innermost one alive); while it exists, plat::ShowMessageBox and plat::ProcessMessages
// go to its back end.
#pragma once

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/MessagePump.h"
#include "platform/gui/Backend.h"
#include "platform/gui/Component.h"

namespace gui {

class TForm;

class TApplication : public TComponent {
 public:
  explicit TApplication(GuiBackend& backend = DefaultGuiBackend());
  ~TApplication() override;

  GuiBackend& Backend() const { return backend_; }

  void Initialize() {}
  // Creates a form owned by the application; the first form created becomes the main form.
  template <class T>
  T* CreateForm() {
    T* form = new T(this);
    if (!mainForm_) mainForm_ = form;
    form->AfterConstruction();
    return form;
  }
  TForm* MainForm() const { return mainForm_; }
  // Shows the main form and runs the message loop until the application is terminated.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  void ProcessMessages();

  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& t) { title_ = t; }

  int MessageBox(const std::string& text, const std::string& title, unsigned flags);

  // The screen cursor (crDefault, crHourGlass, ...).
  int Cursor() const { return cursor_; }
  void SetCursor(int cursor);

  // The exception display: shows the error's text in an error box titled with the
  // application's title. A plat::SilentAbort shows nothing.
  void ShowException(const std::exception& e);
  void HandleException(std::exception_ptr e);
  // Runs an event handler; an exception leaving it goes to the exception display. Back ends
  // deliver every user action and timer message through here.
  void Dispatch(const std::function<void()>& handler);

  // Forms released with TForm::Release are freed here, once the handler that released them
  // has returned.
  void ScheduleRelease(TForm* form);
  void FreeReleasedForms();
  void FormDestroyed(TForm* form);

 private:
  GuiBackend& backend_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  std::string title_ = "Lumidesk";
  int cursor_ = 0;
  std::vector<TForm*> released_;
  TApplication* previous_;
  plat::MessageBoxHandler previousBoxHandler_;
  std::function<void()> previousPump_;
};

// The current application (created with the platform's back end on first use when there is
// none).
TApplication& Application();

}  // namespace gui
