// The standard controls: button, label, single-line edit, multi-line edit (memo), check box,
// radio button, group box and panel.
#pragma once

#include <string>

#include "platform/gui/Control.h"

namespace gui {

// Modal results, with the toolkit's values (the same as the message box results).
enum TModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

class TButton : public TControl {
 public:
  explicit TButton(TComponent* owner) : TControl(owner, kKindOf<TButton>) {}
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int r) { modalResult_ = r; }
  // Enter presses a default button, Escape a cancel button.
  bool Default() const { return default_; }
  void SetDefault(bool on) { default_ = on; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool on) { cancel_ = on; }

  // Passes the button's modal result to its form (closing a modal form when non-zero), then
  // runs OnClick.
  void Click() override;

 private:
  int modalResult_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool on) { wordWrap_ = on; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on) { autoSize_ = on; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on) { transparent_ = on; }

 private:
  bool wordWrap_ = false;
  bool autoSize_ = true;
  bool transparent_ = false;
};

// Single-line edit; Text is the Caption of the base.
class TEdit : public TControl {
 public:
  explicit TEdit(TComponent* owner, ControlKind kind = kKindOf<TEdit>);
  bool Border() const { return border_; }
  void SetBorder(bool on) { border_ = on; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool on) { readOnly_ = on; }

  TNotifyEvent OnChange;
  // The user typed: the text changes and OnChange runs (a program's SetText raises no event).
  // Refused (false) when the control is not showing, not enabled or read-only.
  bool UserSetText(const std::string& text);

 private:
  bool border_ = true;
  bool readOnly_ = false;
};

// Multi-line edit. Its text holds the lines separated by CR LF.
class TMemo : public TEdit {
 public:
  explicit TMemo(TComponent* owner) : TEdit(owner, kKindOf<TMemo>) {}
  bool VerticalScrollBar() const { return vScroll_; }
  void SetVerticalScrollBar(bool on) { vScroll_ = on; }

 private:
  bool vScroll_ = false;
};

class TCheckBox : public TControl {
 public:
  explicit TCheckBox(TComponent* owner, ControlKind kind = kKindOf<TCheckBox>)
      : TControl(owner, kind) {
    SetParentColor(true);
  }
  bool Checked() const { return checked_; }
  virtual void SetChecked(bool on);

 protected:
  void UserClickEffect() override { SetChecked(!checked_); }
  bool checked_ = false;
};

// Selecting a radio button clears the other radio buttons of the same parent.
class TRadioButton : public TCheckBox {
 public:
  explicit TRadioButton(TComponent* owner) : TCheckBox(owner, kKindOf<TRadioButton>) {}
  void SetChecked(bool on) override;

 protected:
  void UserClickEffect() override { SetChecked(true); }
};

class TGroupBox : public TControl {
 public:
  explicit TGroupBox(TComponent* owner) : TControl(owner, kKindOf<TGroupBox>) {
    SetParentColor(true);
  }
};

class TPanel : public TControl {
 public:
  explicit TPanel(TComponent* owner) : TControl(owner, kKindOf<TPanel>) {
    SetParentColor(true);
  }
  bool Bevel() const { return bevel_; }
  void SetBevel(bool on) { bevel_ = on; }
  // A one-pixel frame in this colour; kNoOutline for none.
  static constexpr TColor kNoOutline = 0xFFFFFFFFu;
  TColor Outline() const { return outline_; }
  void SetOutline(TColor c) { outline_ = c; }

 private:
  bool bevel_ = true;
  TColor outline_ = kNoOutline;
};

}  // namespace gui
