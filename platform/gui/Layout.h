// Window layouts as data: one table per window lists each control's name, kind, parent, bounds,
// caption (with its "&" accelerator), colour, font, Tag, initial visibility, kind-specific
// settings, the form member that holds it and the handler bound to it. A row is written with
// named setters, each saying what it sets:
//
//   Row::Button("Button9", &TForm1::Button9).In("Quattro").At(507, 364, 75, 25)
//       .Caption("Installa").OnClick(&TForm1::Button1Click)
//
// The member and the handler are pointers to members of the form, so a row that names a
// control or a handler the form does not have, or a member of another kind, does not compile.
// BuildLayout creates the controls from such a table, in table order (which is also the
// owner's component order and the Tab order).
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

// What a row describes of its control, whatever the form.
struct ControlDef {
  enum class Event { kNone, kClick, kChange };

  constexpr ControlDef(const char* controlName, ControlKind controlKind)
      : name(controlName), kind(controlKind) {}

  const char* name;
  ControlKind kind;
  const char* parent = "";  // "" for the form itself
  int left = 0, top = 0, width = 0, height = 0;
  const char* caption = "";
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

// The form member a row's control is stored in, of the row's kind (null: none).
template <class F>
union ControlField {
  constexpr ControlField() : none(nullptr) {}
  constexpr ControlField(TButton* F::*m) : button(m) {}
  constexpr ControlField(TLabel* F::*m) : label(m) {}
  constexpr ControlField(TEdit* F::*m) : edit(m) {}
  constexpr ControlField(TMemo* F::*m) : memo(m) {}
  constexpr ControlField(TCheckBox* F::*m) : checkBox(m) {}
  constexpr ControlField(TRadioButton* F::*m) : radioButton(m) {}
  constexpr ControlField(TPanel* F::*m) : panel(m) {}
  constexpr ControlField(TImage* F::*m) : image(m) {}
  constexpr ControlField(TProgressBar* F::*m) : progressBar(m) {}
  constexpr ControlField(TStatusBar* F::*m) : statusBar(m) {}
  constexpr ControlField(TNotebook* F::*m) : notebook(m) {}
  constexpr ControlField(TDirectoryListBox* F::*m) : folderList(m) {}
  constexpr ControlField(TDriveComboBox* F::*m) : driveList(m) {}

  TControl* F::*none;  // kinds no form keeps a member of (group boxes, shapes, pages)
  TButton* F::*button;
  TLabel* F::*label;
  TEdit* F::*edit;
  TMemo* F::*memo;
  TCheckBox* F::*checkBox;
  TRadioButton* F::*radioButton;
  TPanel* F::*panel;
  TImage* F::*image;
  TProgressBar* F::*progressBar;
  TStatusBar* F::*statusBar;
  TNotebook* F::*notebook;
  TDirectoryListBox* F::*folderList;
  TDriveComboBox* F::*driveList;
};

// One row of form F's table. The factories name the kind (and the member, if any); each setter
// returns the row with one more setting.
template <class F>
struct LayoutRow {
  using Handler = void (F::*)(TComponent* sender);
  using Row = LayoutRow;

  ControlDef def;
  ControlField<F> field;
  Handler handler = nullptr;

  static constexpr Row Button(const char* n, TButton* F::*m = nullptr) {
    return {ControlKind::Button, n, m};
  }
  static constexpr Row Label(const char* n, TLabel* F::*m = nullptr) {
    return {ControlKind::Label, n, m};
  }
  static constexpr Row Edit(const char* n, TEdit* F::*m = nullptr) {
    return {ControlKind::Edit, n, m};
  }
  static constexpr Row Memo(const char* n, TMemo* F::*m = nullptr) {
    return {ControlKind::Memo, n, m};
  }
  static constexpr Row CheckBox(const char* n, TCheckBox* F::*m = nullptr) {
    return {ControlKind::CheckBox, n, m};
  }
  static constexpr Row RadioButton(const char* n, TRadioButton* F::*m = nullptr) {
    return {ControlKind::RadioButton, n, m};
  }
  static constexpr Row GroupBox(const char* n) { return {ControlKind::GroupBox, n, {}}; }
  static constexpr Row Panel(const char* n, TPanel* F::*m = nullptr) {
    return {ControlKind::Panel, n, m};
  }
  static constexpr Row Image(const char* n, TImage* F::*m = nullptr) {
    return {ControlKind::Image, n, m};
  }
  static constexpr Row ProgressBar(const char* n, TProgressBar* F::*m = nullptr) {
    return {ControlKind::ProgressBar, n, m};
  }
  static constexpr Row StatusBar(const char* n, TStatusBar* F::*m = nullptr) {
    return {ControlKind::StatusBar, n, m};
  }
  static constexpr Row Notebook(const char* n, TNotebook* F::*m = nullptr) {
    return {ControlKind::Notebook, n, m};
  }
  // A page of the notebook it is placed In; its caption is its name.
  static constexpr Row Page(const char* n) {
    return Row{ControlKind::Page, n, {}}.Caption(n);
  }
  static constexpr Row FolderList(const char* n, TDirectoryListBox* F::*m = nullptr) {
    return {ControlKind::FolderList, n, m};
  }
  static constexpr Row DriveList(const char* n, TDriveComboBox* F::*m = nullptr) {
    return {ControlKind::DriveList, n, m};
  }
  static constexpr Row Shape(const char* n) { return {ControlKind::Shape, n, {}}; }

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

  // Stores the control made from this row in the row's member of form.
  void Fill(F& form, TControl* c) const;

 private:
  constexpr LayoutRow(ControlKind kind, const char* name, ControlField<F> f)
      : def(name, kind), field(f) {}
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
// Creates the row's control, owned by the form, and applies its settings. Throws plat::Error
// naming the control when its parent or its folder list does not exist.
TControl* BuildControl(TForm& form, const ControlDef& def);
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
    TControl* c = BuildControl(form, row.def);
    row.Fill(form, c);
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

template <class F>
void LayoutRow<F>::Fill(F& form, TControl* c) const {
  // The union's member of the row's kind; the cast follows the kind BuildControl made.
  auto store = [&form, c](auto member) {
    using T = std::remove_pointer_t<std::remove_reference_t<decltype(form.*member)>>;
    if (member) form.*member = static_cast<T*>(c);
  };
  switch (def.kind) {
    case ControlKind::Button: return store(field.button);
    case ControlKind::Label: return store(field.label);
    case ControlKind::Edit: return store(field.edit);
    case ControlKind::Memo: return store(field.memo);
    case ControlKind::CheckBox: return store(field.checkBox);
    case ControlKind::RadioButton: return store(field.radioButton);
    case ControlKind::Panel: return store(field.panel);
    case ControlKind::Image: return store(field.image);
    case ControlKind::ProgressBar: return store(field.progressBar);
    case ControlKind::StatusBar: return store(field.statusBar);
    case ControlKind::Notebook: return store(field.notebook);
    case ControlKind::FolderList: return store(field.folderList);
    case ControlKind::DriveList: return store(field.driveList);
    default: return;  // group boxes, shapes and pages have no member
  }
}

// The caption with its "&" markers resolved ("&&" is a literal "&"), as the user reads it.
std::string StripAccelerator(const std::string& caption);

}  // namespace gui
