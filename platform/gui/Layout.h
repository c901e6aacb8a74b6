// Window layouts as data: one table per window lists each control's name, kind, parent, bounds,
// caption (with its "&" accelerator), colour, font, Tag, initial visibility, the handler bound
// to it and a few kind-specific options. BuildLayout creates the controls from such a table, in
// table order (which is also the owner's component order and the Tab order).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "platform/gui/Control.h"
#include "platform/gui/Form.h"

namespace gui {

// Colour of the kind's own default (button face, window white for edits and lists; labels and
// panels take the colour of their parent).
constexpr TColor kDefaultColor = 0xFFFFFFFFu;

enum FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4 };

struct FontDef {
  const char* name;  // null: the form's font
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

struct ControlDef {
  const char* name;
  ControlKind kind;
  const char* parent;  // "" for the form itself
  int left, top, width, height;
  const char* caption;
  TColor color;
  FontDef font;
  int tag;
  bool visible;
  const char* handler;  // bound to OnClick (OnChange for edits and lists); "" for none
  unsigned options;
  // Images: the picture's name; labels and memos: the name of a text supplied with the
  // program that replaces the caption; drive lists: the folder list they move; progress bars:
  // the range as "min..max". Empty otherwise.
  const char* ref;
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

using HandlerResolver = std::function<TNotifyEvent(const std::string& handlerName)>;
using PictureResolver = std::function<TPicture(const std::string& pictureName)>;
using TextResolver = std::function<std::string(const std::string& textName)>;

// Applies the form's settings and creates its controls, owned by the form. Throws plat::Error
// naming the control when a parent or handler named in the table does not exist.
void BuildLayout(TForm& form, const FormDef& formDef, const ControlDef* defs,
                 std::size_t count, const HandlerResolver& handlers,
                 const PictureResolver& pictures, const TextResolver& texts);

// The caption with its "&" markers resolved ("&&" is a literal "&"), as the user reads it.
std::string StripAccelerator(const std::string& caption);

}  // namespace gui
