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

TControl* MakeControl(ControlKind kind, TForm& owner) {
  switch (kind) {
    case ControlKind::Button: return new TButton(&owner);
    case ControlKind::Label: return new TLabel(&owner);
    case ControlKind::Edit: return new TEdit(&owner);
    case ControlKind::Memo: return new TMemo(&owner);
    case ControlKind::CheckBox: return new TCheckBox(&owner);
    case ControlKind::RadioButton: return new TRadioButton(&owner);
    case ControlKind::GroupBox: return new TGroupBox(&owner);
    case ControlKind::Panel: return new TPanel(&owner);
    case ControlKind::Image: return new TImage(&owner);
    case ControlKind::ProgressBar: return new TProgressBar(&owner);
    case ControlKind::StatusBar: return new TStatusBar(&owner);
    case ControlKind::Notebook: return new TNotebook(&owner);
    case ControlKind::DriveList: return new TDriveComboBox(&owner);
    case ControlKind::FolderList: {
      auto* list = new TDirectoryListBox(&owner);
      list->AfterConstruction();
      return list;
    }
    case ControlKind::Shape: return new TShape(&owner);
    case ControlKind::Page:
    case ControlKind::Form: break;
  }
  throw plat::Error("Unsupported control kind in layout");
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

TControl* BuildControl(TForm& form, const ControlDef& s) {
  TControl* parent = &form;
  if (s.parent && *s.parent) {
    parent = form.Find<TControl>(s.parent);
    if (!parent) throw plat::Error(std::string("Layout: no parent '") + s.parent + "' for '" +
                                   s.name + "'");
  }
  TControl* c = nullptr;
  if (s.kind == ControlKind::Page) {
    auto* book = dynamic_cast<TNotebook*>(parent);
    if (!book) throw plat::Error(std::string("Layout: page '") + s.name + "' outside a notebook");
    c = book->AddPage(s.caption);
  } else {
    c = MakeControl(s.kind, form);
    c->SetParent(parent);
    c->SetCaption(s.caption);
  }
  c->SetName(s.name);
  c->SetBounds(s.left, s.top, s.width, s.height);
  // Labels and panels without a colour of their own take the parent's.
  if (s.color != kDefaultColor) c->SetColor(s.color);
  else if (s.kind == ControlKind::Label || s.kind == ControlKind::Panel ||
           s.kind == ControlKind::GroupBox || s.kind == ControlKind::CheckBox ||
           s.kind == ControlKind::RadioButton || s.kind == ControlKind::Page)
    c->SetColor(parent->Color());
  c->SetFont(MakeFont(s.font, parent->Font()));
  c->SetTag(s.tag);
  if (s.kind != ControlKind::Page) c->SetVisible(s.visible);
  if (s.options & optHandCursor) c->SetCursor(crHandPoint);

  if (s.text && (s.kind == ControlKind::Label || s.kind == ControlKind::Memo ||
                 s.kind == ControlKind::Edit))
    c->SetCaption(s.text());

  switch (s.kind) {
    case ControlKind::Label: {
      auto* l = static_cast<TLabel*>(c);
      l->SetWordWrap((s.options & optWordWrap) != 0);
      l->SetAutoSize((s.options & (optNoAutoSize | optWordWrap)) == 0);
      l->SetTransparent((s.options & optTransparent) != 0);
      break;
    }
    case ControlKind::Memo:
      static_cast<TMemo*>(c)->SetVerticalScrollBar((s.options & optVScroll) != 0);
      static_cast<TMemo*>(c)->SetBorder((s.options & optNoBorder) == 0);
      break;
    case ControlKind::Edit:
      static_cast<TEdit*>(c)->SetBorder((s.options & optNoBorder) == 0);
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      static_cast<TCheckBox*>(c)->SetChecked((s.options & optChecked) != 0);
      break;
    case ControlKind::Panel:
      static_cast<TPanel*>(c)->SetBevel((s.options & optNoBorder) == 0);
      if (s.options & optWhiteOutline) static_cast<TPanel*>(c)->SetOutline(clWhite);
      break;
    case ControlKind::Image:
      if (s.picture) static_cast<TImage*>(c)->AssignPicture(s.picture());
      break;
    case ControlKind::ProgressBar:
      if (s.rangeMax > s.rangeMin) static_cast<TProgressBar*>(c)->SetRange(s.rangeMin, s.rangeMax);
      break;
    case ControlKind::DriveList:
      if (s.folderList) {
        auto* list = form.Find<TDirectoryListBox>(s.folderList);
        if (!list) throw plat::Error(std::string("Layout: no folder list '") + s.folderList + "'");
        static_cast<TDriveComboBox*>(c)->SetDirList(list);
      }
      break;
    default:
      break;
  }
  return c;
}

void BindEvent(TControl& c, const ControlDef& def, TNotifyEvent handler) {
  if (def.event == ControlDef::Event::kClick) {
    c.OnClick = std::move(handler);
    return;
  }
  // TMemo is a TEdit: a memo's OnChange is the edit's.
  if (auto* e = dynamic_cast<TEdit*>(&c)) e->OnChange = std::move(handler);
  else if (auto* d = dynamic_cast<TDirectoryListBox*>(&c)) d->OnChange = std::move(handler);
  else if (auto* k = dynamic_cast<TDriveComboBox*>(&c)) k->OnChange = std::move(handler);
  else throw plat::Error(std::string("Layout: '") + def.name + "' has no OnChange");
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
