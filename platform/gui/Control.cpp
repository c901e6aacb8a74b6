// The control base: parent chain, properties and the user-click rule.
#include "platform/gui/Control.h"

#include <algorithm>

#include "platform/gui/Form.h"

namespace gui {

TControl::TControl(TComponent* owner, ControlKind kind) : TComponent(owner), kind_(kind) {}

TControl::~TControl() {
  if (backend_) backend_->ControlDestroyed(*this);
  // Children are freed by their owner; here they only lose their parent.
  for (TControl* child : children_) child->parent_ = nullptr;
  children_.clear();
  if (parent_) {
    auto& sib = parent_->children_;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
  }
}

void TControl::SetParent(TControl* parent) {
  if (parent == parent_) return;
  if (parent_) {
    auto& sib = parent_->children_;
    sib.erase(std::remove(sib.begin(), sib.end(), this), sib.end());
  }
  parent_ = parent;
  if (parent_) parent_->children_.push_back(this);
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c) {
    if (c->kind_ == ControlKind::Form) return static_cast<TForm*>(const_cast<TControl*>(c));
    c = c->parent_;
  }
  return nullptr;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(Prop::Bounds);
}

void TControl::SetCaption(const std::string& text) {
  if (text == caption_) return;
  caption_ = text;
  Changed(Prop::Caption);
}

void TControl::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  Changed(Prop::Enabled);
}

void TControl::SetVisible(bool on) {
  if (on == visible_) return;
  visible_ = on;
  Changed(Prop::Visible);
}

bool TControl::Showing() const {
  for (const TControl* c = this; c; c = c->parent_) {
    if (!c->visible_) return false;
    if (c->kind_ == ControlKind::Form) return true;
  }
  return false;  // not on a form
}

bool TControl::EffectivelyEnabled() const {
  for (const TControl* c = this; c; c = c->parent_) {
    if (!c->enabled_) return false;
  }
  return true;
}

void TControl::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Changed(Prop::Color);
}

void TControl::SetFont(const TFont& f) {
  if (f == font_) return;
  font_ = f;
  Changed(Prop::Font);
}

void TControl::SetCursor(int c) {
  if (c == cursor_) return;
  cursor_ = c;
  Changed(Prop::Cursor);
}

bool TControl::UserClick() {
  if (!Showing() || !EffectivelyEnabled()) return false;
  UserClickEffect();
  Click();
  return true;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::Repaint() {
  if (backend_) backend_->Repaint(*this);
}

void TControl::Changed(Prop what) {
  if (backend_) backend_->ControlChanged(*this, what);
}

}  // namespace gui
