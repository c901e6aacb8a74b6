// Window layouts as data: one table per window lists each control's name, kind, parent, bounds,
// caption (with its "&" accelerator), colour, font, Tag, initial visibility, kind-specific
// settings, the form member that holds it and the handler bound to it. A row is written with
// named setters, each saying what it sets:
//
//   Row::Control<&TForm1::Button9>("Button9").In("Quattro").At(507, 364, 75, 25)
//       .Caption("Installa").OnClick(&TForm1::Button1Click)
//   Row::Control<TGroupBox>("GroupBox1").In("Meil").At(400, 110, 180, 40).Caption("Sesso")
//
// A row's kind is that of the member it fills, or of the class it names when the form keeps no
// member for the control (KindOf, Control.h). The member and the handler are pointers to
// members of the form, so a row that names a control or a handler the form does not have does
// not compile. BuildLayout creates the controls from such a table, in table order (which is also
// the owner's component order and the Tab order).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <type_traits>

#include "platform/gui/Control.h"
#include "platform/gui/ExtControls.h"
#include "platform/gui/FileControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/StdControls.h"

namespace gui {

// Colour of the kind's own default (button face, window white for edits and lists; labels and
// panels take the colour of their parent).
constexpr TColor kDefaultColor = 0xFFFFFFFFu;

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

struct FontDef {
  const char* name;
  int size;
  TColor color;
  unsigned style;
};

// Kind-specific options.
enum LayoutOption : unsigned {
  optWordWrap = 1u << 0,     // label: wrap within its width
  optNoAutoSize = 1u << 1,   // label: keep the stated width
  optVScroll = 1u << 2,      // memo: vertical scroll bar
  optNoBorder = 1u << 3,     // edit, memo, panel: no border or bevel
  optChecked = 1u << 4,      // check box, radio button: checked at start
  optHandCursor = 1u << 5,   // hand-shaped mouse cursor
  optWhiteOutline = 1u << 6, // panel: a white frame
  optTransparent = 1u << 7,  // label, image: the parent shows through
};

// Texts and pictures supplied with the program, fetched when the control is made.
using TextSource = std::string (*)();
using PictureSource = TPicture (*)();

struct ControlDef;

// How a layout makes a control of one class: one per class, kControlClass<T> below.
struct ControlClass {
  ControlKind kind;
  // Creates the control, owned by the form, inside its parent, with the row's settings that
  // only this class has (Configure, below), and stores it in the form member `member` points
  // at (a kFormMember of this class) unless that is null.
  TControl* (*make)(TForm& form, TControl& parent, const ControlDef& def, const void* member);
  // The class's OnChange; null for a class without one.
  TNotifyEvent TControl::*onChange;
};

// What a row describes of its control, whatever the form.
struct ControlDef {
  enum class Event { kNone, kClick, kChange };

  constexpr ControlDef(const char* controlName, const ControlClass& controlClass)
      : name(controlName), type(&controlClass) {}

  ControlKind Kind() const { return type->kind; }

  const char* name;
  const ControlClass* type;
  const char* parent = "";  // "" for the form itself
  int left = 0, top = 0, width = 0, height = 0;
  const char* caption = "";  // a page's caption is its name
  TColor color = kDefaultColor;
  const FontDef* font = nullptr;  // null: the parent's
  int tag = 0;
  bool visible = true;
  unsigned options = 0;             // LayoutOption bits
  TextSource text = nullptr;        // labels, memos, edits: replaces the caption
  PictureSource picture = nullptr;  // images
  int rangeMin = 0, rangeMax = 0;   // progress bars; applied when rangeMax > rangeMin
  const char* folderList = nullptr;  // drive lists: the name of the folder list they move
  Event event = Event::kNone;       // which event the row's handler is bound to
};

// The settings only some classes have. A control gets the overload of the most derived class
// it is; a class with no settings of its own gets the first, which does nothing. Inline, each
// folds into its class's MakeControl (the installer's size counts).
inline void Configure(TControl&, TForm&, const ControlDef&) {}
inline void Configure(TLabel& l, TForm&, const ControlDef& s) {
  l.SetWordWrap((s.options & optWordWrap) != 0);
  l.SetAutoSize((s.options & (optNoAutoSize | optWordWrap)) == 0);
  l.SetTransparent((s.options & optTransparent) != 0);
}
inline void Configure(TEdit& e, TForm&, const ControlDef& s) {
  e.SetBorder((s.options & optNoBorder) == 0);
}
inline void Configure(TMemo& m, TForm& form, const ControlDef& s) {
  Configure(static_cast<TEdit&>(m), form, s);
  m.SetVerticalScrollBar((s.options & optVScroll) != 0);
}
inline void Configure(TCheckBox& b, TForm&, const ControlDef& s) {
  b.SetChecked((s.options & optChecked) != 0);
}
inline void Configure(TPanel& p, TForm&, const ControlDef& s) {
  p.SetBevel((s.options & optNoBorder) == 0);
  if (s.options & optWhiteOutline) p.SetOutline(clWhite);
}
inline void Configure(TImage& i, TForm&, const ControlDef& s) {
  if (s.picture) i.AssignPicture(s.picture());
}
inline void Configure(TProgressBar& b, TForm&, const ControlDef& s) {
  if (s.rangeMax > s.rangeMin) b.SetRange(s.rangeMin, s.rangeMax);
}
// Moves the folder list the row names (Layout.cpp).
void Configure(TDriveComboBox& list, TForm& form, const ControlDef& def);

template <class T>
TControl* MakeControl(TForm& form, TControl& parent, const ControlDef& def, const void* member) {
  T* c = Create<T>(&form);
  c->SetParent(&parent);
  Configure(*c, form, def);
  if (member) form.*(*static_cast<T* TForm::* const*>(member)) = c;
  return c;
}
// A page is one the notebook it is placed in adds, captioned with its row's name; no form keeps
// a member for one (Layout.cpp).
template <>
TControl* MakeControl<TPage>(TForm& form, TControl& parent, const ControlDef& def, const void*);

template <class T, class = void>
struct HasOnChange : std::false_type {};
template <class T>
struct HasOnChange<T, std::void_t<decltype(&T::OnChange)>> : std::true_type {};

template <class T>
struct ControlClassOf {
  static constexpr TNotifyEvent TControl::*OnChange() {
    if constexpr (HasOnChange<T>::value)
      return static_cast<TNotifyEvent TControl::*>(&T::OnChange);
    else
      return nullptr;
  }
  static constexpr ControlClass value{kKindOf<T>, &MakeControl<T>, OnChange()};
};
template <class T>
constexpr const ControlClass& kControlClass = ControlClassOf<T>::value;

// The form and the control class of a form member (TForm1 and TButton for &TForm1::Button9).
template <class M>
struct MemberOf;
template <class F, class T>
struct MemberOf<T* F::*> {
  using Form = F;
  using Control = T;
};
// A form member as a pointer to a member of TForm, one constant per member, so that a row can
// point at it whatever its class (it still names the member of the form's own class).
template <auto Member>
inline constexpr typename MemberOf<decltype(Member)>::Control* TForm::*kFormMember =
    static_cast<typename MemberOf<decltype(Member)>::Control* TForm::*>(Member);

// One row of form F's table. Control<...> starts a row; each setter returns the row with one
// more setting.
template <class F>
struct LayoutRow {
  using Handler = void (F::*)(TComponent* sender);
  using Row = LayoutRow;

  ControlDef def;
  const void* member = nullptr;  // a kFormMember; null when the form keeps no member for it
  Handler handler = nullptr;

  // A control stored in the form member Member (&TForm1::Button9), of the member's class.
  template <auto Member>
  static constexpr Row Control(const char* name) {
    using M = MemberOf<decltype(Member)>;
    static_assert(std::is_same_v<typename M::Form, F>, "a member of another form");
    return Row(name, kControlClass<typename M::Control>, &kFormMember<Member>);
  }
  // A control of class T that the form keeps no member for.
  template <class T>
  static constexpr Row Control(const char* name) {
    return Row(name, kControlClass<T>, nullptr);
  }

  constexpr Row In(const char* parent) const { Row r = *this; r.def.parent = parent; return r; }
  constexpr Row At(int left, int top, int width, int height) const {
    Row r = *this;
    r.def.left = left;
    r.def.top = top;
    r.def.width = width;
    r.def.height = height;
    return r;
  }
  constexpr Row Caption(const char* c) const { Row r = *this; r.def.caption = c; return r; }
  constexpr Row Color(TColor c) const { Row r = *this; r.def.color = c; return r; }
  // The font must outlive the table (a constant of static storage).
  constexpr Row Font(const FontDef& f) const { Row r = *this; r.def.font = &f; return r; }
  constexpr Row Tag(int t) const { Row r = *this; r.def.tag = t; return r; }
  constexpr Row Hidden() const { Row r = *this; r.def.visible = false; return r; }
  constexpr Row Options(unsigned o) const { Row r = *this; r.def.options = o; return r; }
  constexpr Row Text(TextSource t) const { Row r = *this; r.def.text = t; return r; }
  constexpr Row Picture(PictureSource p) const { Row r = *this; r.def.picture = p; return r; }
  constexpr Row Range(int min, int max) const {
    Row r = *this;
    r.def.rangeMin = min;
    r.def.rangeMax = max;
    return r;
  }
  constexpr Row Moves(const char* folderList) const {
    Row r = *this;
    r.def.folderList = folderList;
    return r;
  }
  constexpr Row OnClick(Handler h) const { return WithHandler(ControlDef::Event::kClick, h); }
  // Edits and lists.
  constexpr Row OnChange(Handler h) const { return WithHandler(ControlDef::Event::kChange, h); }

 private:
  constexpr LayoutRow(const char* name, const ControlClass& type, const void* m)
      : def(name, type), member(m) {}
  constexpr Row WithHandler(ControlDef::Event e, Handler h) const {
    Row r = *this;
    r.def.event = e;
    r.handler = h;
    return r;
  }
};

struct FormDef {
  const char* name;
  const char* caption;
  int clientWidth, clientHeight;
  TBorderStyle border;
  TPosition position;
  TColor color;
  FontDef font;
};

// A window's whole table.
template <class F>
struct Layout {
  const FormDef& form;
  const LayoutRow<F>* rows;
  std::size_t count;
  const LayoutRow<F>* begin() const { return rows; }
  const LayoutRow<F>* end() const { return rows + count; }
};

// The parts of building that do not depend on the form (Layout.cpp).
void ApplyFormDef(TForm& form, const FormDef& def);
// Creates the row's control, owned by the form, applies its settings and stores it in the form
// member `member` points at (a kFormMember of a member of the form's own class), unless that is
// null. Throws plat::Error naming the control when its parent or its folder list does not
// exist.
TControl* BuildControl(TForm& form, const ControlDef& def, const void* member = nullptr);
// Installs the handler on the event the row names. Throws plat::Error when the control has no
// such event.
void BindEvent(TControl& control, const ControlDef& def, TNotifyEvent handler);

// Applies the form's settings and creates its controls, each stored in the member its row
// names. `bind` turns each row's handler into the event installed on the control; every
// handler of the table passes through it.
template <class F, class Bind>
void BuildLayout(F& form, const Layout<F>& layout, Bind bind) {
  ApplyFormDef(form, layout.form);
  for (const LayoutRow<F>& row : layout) {
    TControl* c = BuildControl(form, row.def, row.member);
    if (row.handler) BindEvent(*c, row.def, bind(row.handler));
  }
}

// The same with each handler called as it is.
template <class F>
void BuildLayout(F& form, const Layout<F>& layout) {
  BuildLayout(form, layout, [&form](typename LayoutRow<F>::Handler h) -> TNotifyEvent {
    return [&form, h](TComponent* sender) { (form.*h)(sender); };
  });
}

// The caption with its "&" markers resolved ("&&" is a literal "&"), as the user reads it.
std::string StripAccelerator(const std::string& caption);

}  // namespace gui
