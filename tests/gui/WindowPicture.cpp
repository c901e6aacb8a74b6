// Writing a window's picture, and the picture of the controls' own state.
#include "WindowPicture.h"

#include "platform/gui/ExtControls.h"
#include "platform/gui/FileControls.h"
#include "platform/gui/StdControls.h"

namespace guitest {

namespace {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r') out += "<CR>";
    else if (c == '\n') out += "<LF>";
    else out += c;
  }
  return out + "\"";
}

const char* BorderName(gui::TBorderStyle b) {
  switch (b) {
    case gui::TBorderStyle::bsSizeable: return "sizeable border";
    case gui::TBorderStyle::bsDialog: return "dialog border";
    case gui::TBorderStyle::bsNone: return "no border";
  }
  return "?";
}

}  // namespace

std::string PictureLine(const ControlPicture& p, const NamedTexts& named) {
  std::string line = p.name + " (" + gui::KindName(p.kind) + ")";
  const auto size = std::to_string(p.width) + "x" + std::to_string(p.height);
  if (p.kind == gui::ControlKind::Form) {
    line += " client " + size;
  } else {
    line += " in " + p.parent + " at " + std::to_string(p.left) + "," + std::to_string(p.top) +
            " " + size;
    line += p.visible ? ", visible" : ", hidden";
    line += p.enabled ? ", enabled" : ", disabled";
  }
  auto add = [&line](const std::string& s) { line += ", " + s; };
  if (p.border) add(BorderName(*p.border));
  if (p.checked) add(*p.checked ? "checked" : "unchecked");
  if (p.page) add("page " + std::to_string(*p.page));
  if (p.rangeMin && p.rangeMax)
    add("range " + std::to_string(*p.rangeMin) + ".." + std::to_string(*p.rangeMax));
  if (p.position) add("position " + std::to_string(*p.position));
  if (p.edge) add(*p.edge ? "sunken edge" : "flat");
  if (p.readOnly && *p.readOnly) add("read-only");
  if (p.scrollBar && *p.scrollBar) add("vertical scroll bar");
  if (p.wordWrap && *p.wordWrap) add("word wrap");
  if (!p.moves.empty()) add("moves " + p.moves);
  for (const auto& n : named) {
    if (!n.second.empty() && n.second == p.caption) return line + ", text of " + n.first;
  }
  return line + " " + Quoted(p.caption);
}

ControlPicture ObjectPicture(const gui::TControl& c) {
  ControlPicture p;
  p.name = c.Name();
  p.kind = c.Kind();
  p.parent = c.Parent() ? c.Parent()->Name() : "";
  p.left = c.Left();
  p.top = c.Top();
  p.width = c.Width();
  p.height = c.Height();
  p.visible = c.Visible();
  p.enabled = c.Enabled();
  p.caption = c.Caption();
  if (auto* f = dynamic_cast<const gui::TForm*>(&c)) {
    p.left = p.top = 0;
    p.width = f->ClientWidth();
    p.height = f->ClientHeight();
    p.border = f->BorderStyle();
  }
  if (auto* b = dynamic_cast<const gui::TCheckBox*>(&c)) p.checked = b->Checked();
  if (auto* n = dynamic_cast<const gui::TNotebook*>(&c)) p.page = n->PageIndex();
  if (auto* b = dynamic_cast<const gui::TProgressBar*>(&c)) {
    p.rangeMin = b->Min();
    p.rangeMax = b->Max();
    p.position = b->Position();
  }
  if (auto* e = dynamic_cast<const gui::TEdit*>(&c)) {
    p.edge = e->Border();
    p.readOnly = e->ReadOnly();
  }
  if (auto* m = dynamic_cast<const gui::TMemo*>(&c)) p.scrollBar = m->VerticalScrollBar();
  if (auto* l = dynamic_cast<const gui::TLabel*>(&c)) p.wordWrap = l->WordWrap();
  if (auto* d = dynamic_cast<const gui::TDriveComboBox*>(&c))
    p.moves = d->DirList() ? d->DirList()->Name() : "";
  return p;
}

std::string WindowPicture(const gui::TForm& form, const PictureReader& read,
                          const NamedTexts& named) {
  std::string out = PictureLine(read(form), named) + "\n";
  for (gui::TComponent* owned : form.Components()) {
    if (auto* c = dynamic_cast<gui::TControl*>(owned)) out += PictureLine(read(*c), named) + "\n";
  }
  return out;
}

}  // namespace guitest
