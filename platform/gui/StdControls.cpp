// The standard controls' behaviour: modal results, user typing, check and radio state.
#include "platform/gui/StdControls.h"

#include "platform/gui/Form.h"

namespace gui {

void TButton::Click() {
  if (TForm* form = ParentForm()) form->SetModalResult(modalResult_);
  TControl::Click();
}

TLabel::TLabel(TComponent* owner) : TControl(owner, kKindOf<TLabel>) { SetParentColor(true); }

TEdit::TEdit(TComponent* owner, ControlKind kind) : TControl(owner, kind) { SetColor(clWindow); }

bool TEdit::UserSetText(const std::string& text) {
  if (!Showing() || !EffectivelyEnabled() || readOnly_) return false;
  if (text == Text()) return true;
  SetText(text);
  if (OnChange) OnChange(this);
  return true;
}

void TCheckBox::SetChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  Changed(Prop::Checked);
}

void TRadioButton::SetChecked(bool on) {
  if (on == checked_) return;
  checked_ = on;
  Changed(Prop::Checked);
  if (!on || !Parent()) return;
  for (TControl* sibling : Parent()->Controls()) {
    if (auto* radio = dynamic_cast<TRadioButton*>(sibling); radio && radio != this)
      radio->SetChecked(false);
  }
}

}  // namespace gui
