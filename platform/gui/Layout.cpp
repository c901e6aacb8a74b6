// Building a window's controls from its layout table.
#include "platform/gui/Layout.h"

#include "platform/Error.h"

namespace gui {

namespace {

TFont MakeFont(const FontDef* def, const TFont& base) {
  if (!def || !def->name) return base;
  TFont f;
  f.Name = def->name;
  f.Size = def->size;
  f.Color = def->color;
  f.Bold = (def->style & fsBold) != 0;
  f.Italic = (def->style & fsItalic) != 0;
  f.Underline = (def->style & fsUnderline) != 0;
  return f;
}

}  // namespace

void ApplyFormDef(TForm& form, const FormDef& fs) {
  form.SetName(fs.name);
  form.SetCaption(fs.caption);
  form.SetClientSize(fs.clientWidth, fs.clientHeight);
  form.SetBorderStyle(fs.border);
  form.SetPosition(fs.position);
  if (fs.color != kDefaultColor) form.SetColor(fs.color);
  form.SetFont(MakeFont(&fs.font, form.Font()));
}

template <>
TControl* MakeControl<TPage>(TForm&, TControl& parent, const ControlDef& def, const void*) {
  auto* book = dynamic_cast<TNotebook*>(&parent);
  if (!book) throw plat::Error(std::string("Layout: page '") + def.name + "' outside a notebook");
  return book->AddPage(def.name);
}

void Configure(TDriveComboBox& d, TForm& form, const ControlDef& s) {
  if (!s.folderList) return;
  auto* list = form.Find<TDirectoryListBox>(s.folderList);
  if (!list) throw plat::Error(std::string("Layout: no folder list '") + s.folderList + "'");
  d.SetDirList(list);
}

TControl* BuildControl(TForm& form, const ControlDef& s, const void* member) {
  TControl* parent = &form;
  if (s.parent && *s.parent) {
    parent = form.Find<TControl>(s.parent);
    if (!parent) throw plat::Error(std::string("Layout: no parent '") + s.parent + "' for '" +
                                   s.name + "'");
  }
  TControl* c = s.type->make(form, *parent, s, member);
  // A new control's caption is empty; a page's is its name, which its row leaves alone.
  if (*s.caption) c->SetCaption(s.caption);
  c->SetName(s.name);
  c->SetBounds(s.left, s.top, s.width, s.height);
  if (s.color != kDefaultColor) c->SetColor(s.color);
  else if (c->ParentColor()) c->SetColor(parent->Color());
  c->SetFont(MakeFont(s.font, parent->Font()));
  c->SetTag(s.tag);
  // Only hiding: a notebook's pages are shown by its page index, not by their rows.
  if (!s.visible) c->SetVisible(false);
  if (s.options & optHandCursor) c->SetCursor(crHandPoint);
  if (s.text) c->SetCaption(s.text());
  return c;
}

void BindEvent(TControl& c, const ControlDef& def, TNotifyEvent handler) {
  if (def.event == ControlDef::Event::kClick) {
    c.OnClick = std::move(handler);
    return;
  }
  if (!def.type->onChange)
    throw plat::Error(std::string("Layout: '") + def.name + "' has no OnChange");
  c.*(def.type->onChange) = std::move(handler);
}

std::string StripAccelerator(const std::string& caption) {
  std::string out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

}  // namespace gui
