// Forms: top-level windows with a caption, a client size, a border style, a placement, the
// creation, close and paint events, Close and ShowModal.
#pragma once

#include <functional>
#include <string>

#include "platform/gui/Control.h"
#include "platform/gui/StdControls.h"

namespace gui {

class GuiBackend;
class TApplication;

// What closing does with the form, chosen by OnClose.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;

enum class TBorderStyle { bsSizeable, bsDialog, bsNone };
enum class TPosition { poDesigned, poScreenCenter };

class TForm : public TControl {
 public:
  // The form talks to the current application's back end.
  explicit TForm(TComponent* owner);
  ~TForm() override;

  GuiBackend& Backend() const { return *backend_; }

  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  void SetClientSize(int width, int height);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle s) { borderStyle_ = s; }
  TPosition Position() const { return position_; }
  void SetPosition(TPosition p) { position_ = p; }

  TNotifyEvent OnCreate;
  TCloseEvent OnClose;
  TNotifyEvent OnPaint;

  // Raises OnCreate; an exception leaving it is shown by the exception display and the form
  // stays usable, as the toolkit does.
  void AfterConstruction() override;

  void Show();
  void HideForm();
  // Asks the form to close. A modal form gets the result Cancel. Otherwise OnClose chooses the
  // action (default: hide); closing the main form with any action but caNone ends the
  // application; caFree frees another form once the current message is handled. An exception
  // from OnClose leaves Close and abandons the close.
  void Close();
  // Shows the form modally and returns its modal result (never mrNone).
  int ShowModal();
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int r) { modalResult_ = r; }
  // Frees the form after the current message (a form must not delete itself inside a handler).
  void Release();

  // The action OnClose chose at the last close (caHide when none ran yet).
  TCloseAction LastCloseAction() const { return lastCloseAction_; }

  // Raises OnPaint (the back end calls this for every paint of the window).
  void Paint();

 private:
  void EnsureRealized();

  TApplication* app_;
  GuiBackend* backend_;
  TCloseAction lastCloseAction_ = TCloseAction::caHide;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  TBorderStyle borderStyle_ = TBorderStyle::bsSizeable;
  TPosition position_ = TPosition::poDesigned;
  bool modal_ = false;
  int modalResult_ = mrNone;
};

}  // namespace gui
