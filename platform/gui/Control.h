// The control base: a component with a parent, bounds, a caption, enabled and visible flags,
// colour, font, cursor and a click event. The state lives here, with no window handle; the
// back end mirrors it (Backend.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/WindowRef.h"
#include "platform/gui/Backend.h"
#include "platform/gui/Component.h"
#include "platform/gui/Graphics.h"

namespace gui {

// The kind list: every kind of control, its name and its class (KindOf, below). A new kind is
// added here, in its class, and in the one function per GUI back end that makes a window of
// each kind (the compiler names that function while it lacks the new kind).
enum class ControlKind {
  Form,
  Button,
  Label,
  Edit,
  Memo,
  CheckBox,
  RadioButton,
  GroupBox,
  Panel,
  Image,
  ProgressBar,
  StatusBar,
  Notebook,
  Page,
  DriveList,
  FolderList,
  Shape,  // a filled circle (decoration)
};

// Each kind's name as a person says it, in the order of ControlKind.
struct ControlKindName {
  ControlKind kind;
  const char* name;
};
inline constexpr ControlKindName kControlKindNames[] = {
    {ControlKind::Form, "form"},
    {ControlKind::Button, "button"},
    {ControlKind::Label, "label"},
    {ControlKind::Edit, "edit"},
    {ControlKind::Memo, "memo"},
    {ControlKind::CheckBox, "check box"},
    {ControlKind::RadioButton, "radio button"},
    {ControlKind::GroupBox, "group box"},
    {ControlKind::Panel, "panel"},
    {ControlKind::Image, "image"},
    {ControlKind::ProgressBar, "progress bar"},
    {ControlKind::StatusBar, "status bar"},
    {ControlKind::Notebook, "notebook"},
    {ControlKind::Page, "page"},
    {ControlKind::DriveList, "drive list"},
    {ControlKind::FolderList, "folder list"},
    {ControlKind::Shape, "shape"},
};
constexpr bool ControlKindNamesInOrder() {
  std::size_t i = 0;
  for (const auto& k : kControlKindNames)
    if (static_cast<std::size_t>(k.kind) != i++) return false;
  return i == static_cast<std::size_t>(ControlKind::Shape) + 1;
}
static_assert(ControlKindNamesInOrder(), "one name per control kind, in the order of ControlKind");

inline const char* KindName(ControlKind kind) {
  return kControlKindNames[static_cast<std::size_t>(kind)].name;
}

class TForm;
class TButton;
class TLabel;
class TEdit;
class TMemo;
class TCheckBox;
class TRadioButton;
class TGroupBox;
class TPanel;
class TImage;
class TProgressBar;
class TStatusBar;
class TNotebook;
class TPage;
class TDriveComboBox;
class TDirectoryListBox;
class TShape;

// The kind of a control class. A class that is no kind of its own has no entry, so a layout row
// for it does not compile.
template <class T>
struct KindOf;
template <ControlKind K>
struct KindIs {
  static constexpr ControlKind value = K;
};
template <> struct KindOf<TForm> : KindIs<ControlKind::Form> {};
template <> struct KindOf<TButton> : KindIs<ControlKind::Button> {};
template <> struct KindOf<TLabel> : KindIs<ControlKind::Label> {};
template <> struct KindOf<TEdit> : KindIs<ControlKind::Edit> {};
template <> struct KindOf<TMemo> : KindIs<ControlKind::Memo> {};
template <> struct KindOf<TCheckBox> : KindIs<ControlKind::CheckBox> {};
template <> struct KindOf<TRadioButton> : KindIs<ControlKind::RadioButton> {};
template <> struct KindOf<TGroupBox> : KindIs<ControlKind::GroupBox> {};
template <> struct KindOf<TPanel> : KindIs<ControlKind::Panel> {};
template <> struct KindOf<TImage> : KindIs<ControlKind::Image> {};
template <> struct KindOf<TProgressBar> : KindIs<ControlKind::ProgressBar> {};
template <> struct KindOf<TStatusBar> : KindIs<ControlKind::StatusBar> {};
template <> struct KindOf<TNotebook> : KindIs<ControlKind::Notebook> {};
template <> struct KindOf<TPage> : KindIs<ControlKind::Page> {};
template <> struct KindOf<TDriveComboBox> : KindIs<ControlKind::DriveList> {};
template <> struct KindOf<TDirectoryListBox> : KindIs<ControlKind::FolderList> {};
template <> struct KindOf<TShape> : KindIs<ControlKind::Shape> {};
template <class T>
constexpr ControlKind kKindOf = KindOf<T>::value;

class TControl : public TComponent {
 public:
  TControl(TComponent* owner, ControlKind kind);
  ~TControl() override;

  ControlKind Kind() const { return kind_; }

  TControl* Parent() const { return parent_; }
  void SetParent(TControl* parent);
  const std::vector<TControl*>& Controls() const { return children_; }
  // The form this control sits on (itself for a form), or null.
  TForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int left, int top, int width, int height);

  // Caption and Text are one value, as in the toolkit: a label's caption, an edit's text.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  const std::string& Text() const { return caption_; }
  void SetText(const std::string& text) { SetCaption(text); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so is every parent up to the form (and the form itself is shown).
  bool Showing() const;
  // Enabled, and so is every parent.
  bool EffectivelyEnabled() const;

  TColor Color() const { return color_; }
  void SetColor(TColor c);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& f);
  int Cursor() const { return cursor_; }
  void SetCursor(int c);
  // Labels, panels, frames, check and radio buttons and pages are drawn in their parent's colour
  // unless given one of their own (the toolkit's ParentColor); a layout applies it.
  bool ParentColor() const { return parentColor_; }

  TNotifyEvent OnClick;

  // A click by the user: only a showing, enabled control responds. Kind-specific effects
  // first (a check box toggles, a radio button selects itself, a button passes its modal
  // result to its form), then OnClick. Returns whether the click was taken. Back ends call
  // this through TApplication::Dispatch.
  bool UserClick();
  // Runs OnClick as a program would (no enabled/visible check).
  virtual void Click();
  // Paints the control at once (while a long operation keeps the message loop waiting).
  void Repaint();

  // Set by the back end when it has made a window for the control; from then on property
  // changes and the control's end are reported to that back end.
  GuiBackend* Realized() const { return backend_; }
  void SetRealized(GuiBackend* backend) { backend_ = backend; }
  // What the back end keeps for the control: the window handle on Win32, 0 headless.
  std::uintptr_t BackendData() const { return backendData_; }
  void SetBackendData(std::uintptr_t d) { backendData_ = d; }
  // The control's window as the platform's shell and mail calls take it for an owner; empty
  // while the control has no window.
  plat::WindowRef Window() const { return plat::WindowRef::FromNative(backendData_); }

 protected:
  // Tells the back end (when the control has a window) what changed.
  void Changed(Prop what);
  void SetParentColor(bool on) { parentColor_ = on; }
  virtual void UserClickEffect() {}

 private:
  ControlKind kind_;
  TControl* parent_ = nullptr;
  std::vector<TControl*> children_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  std::string caption_;
  bool enabled_ = true;
  bool visible_ = true;
  TColor color_ = clBtnFace;
  TFont font_;
  int cursor_ = crDefault;
  bool parentColor_ = false;
  GuiBackend* backend_ = nullptr;
  std::uintptr_t backendData_ = 0;
};

}  // namespace gui
