// The Win32 back end: realising forms and controls as windows, mirroring property changes,
// the message loops, message boxes and the cursor.
#include "platform/gui/win32/Win32Backend.h"

#include <commctrl.h>

#include <cctype>
#include <vector>

#include "platform/Error.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Error.h"
#include "platform/gui/Application.h"
#include "platform/gui/ExtControls.h"
#include "platform/gui/FileControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/StdControls.h"

namespace gui {
namespace win32 {

Win32Backend* Win32Backend::instance_ = nullptr;

namespace {

constexpr char kNameProperty[] = "LumiName";
// A drop-down list's window height includes its list.
constexpr int kDropDownExtra = 200;
constexpr int kFolderIndent = 2;  // spaces per level in the folder list

const char* NativeClass(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton: return "BUTTON";
    case ControlKind::Label: return "STATIC";
    case ControlKind::Edit:
    case ControlKind::Memo: return "EDIT";
    case ControlKind::ProgressBar: return PROGRESS_CLASSA;
    case ControlKind::StatusBar: return STATUSCLASSNAMEA;
    case ControlKind::DriveList: return "COMBOBOX";
    case ControlKind::FolderList: return "LISTBOX";
    case ControlKind::Image: return kPictureClass;
    case ControlKind::Shape: return kShapeClass;
    default: return kContainerClass;
  }
}

// Turns visual styles off for one control. UxTheme.dll is not a KnownDLL: imported, it would be
// looked for in the installer's folder before any code runs, so it is loaded from the system
// folder on first use. Without it there are no visual styles to turn off.
void UseClassicLook(HWND hwnd) {
  using SetWindowThemeFunction = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
  static const SetWindowThemeFunction setWindowTheme = [] {
    HMODULE uxtheme = plat::win32::LoadSystemLibrary(L"uxtheme.dll");
    // Through void*: a FARPROC cast straight to another function type draws a warning.
    return uxtheme ? reinterpret_cast<SetWindowThemeFunction>(reinterpret_cast<void*>(
                         GetProcAddress(uxtheme, "SetWindowTheme")))
                   : nullptr;
  }();
  if (setWindowTheme) setWindowTheme(hwnd, L"", L"");
}

// Registers the common controls' classes (progress and status bars). comctl32.dll is loaded
// here rather than imported: imported, its start-up code runs before the entry point has
// restricted the DLL search, and that code has user32 load more DLLs by bare name (seen under
// Wine: uxtheme.dll from the program's folder). Named without a folder, the manifest's
// side-by-side reference picks version 6; the system folder holds the older one.
void InitCommonControlClasses() {
  using InitFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE comctl32 = LoadLibraryW(L"comctl32.dll");
  // Through void*: a FARPROC cast straight to another function type draws a warning.
  const auto init = comctl32 ? reinterpret_cast<InitFunction>(reinterpret_cast<void*>(
                                   GetProcAddress(comctl32, "InitCommonControlsEx")))
                             : nullptr;
  // Without them the first progress or status bar fails to be created, and says so.
  if (!init) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
  init(&icc);
}

bool IsContainer(ControlKind kind) {
  return kind == ControlKind::Panel || kind == ControlKind::GroupBox ||
         kind == ControlKind::Notebook || kind == ControlKind::Page;
}

void StyleFor(const TControl& c, DWORD& style, DWORD& exStyle) {
  style = WS_CHILD | WS_CLIPSIBLINGS;
  exStyle = 0;
  switch (c.Kind()) {
    case ControlKind::Button:
      style |= WS_TABSTOP |
               (static_cast<const TButton&>(c).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      break;
    case ControlKind::CheckBox: style |= WS_TABSTOP | BS_CHECKBOX; break;
    case ControlKind::RadioButton: style |= WS_TABSTOP | BS_RADIOBUTTON; break;
    case ControlKind::Label:
      style |= SS_NOTIFY | (static_cast<const TLabel&>(c).WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP);
      break;
    case ControlKind::Edit:
    case ControlKind::Memo: {
      const auto& e = static_cast<const TEdit&>(c);
      style |= WS_TABSTOP | (e.ReadOnly() ? ES_READONLY : 0);
      if (c.Kind() == ControlKind::Memo) {
        style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (static_cast<const TMemo&>(c).VerticalScrollBar()) style |= WS_VSCROLL;
      } else {
        style |= ES_AUTOHSCROLL;
      }
      if (e.Border()) exStyle |= WS_EX_CLIENTEDGE;
      break;
    }
    case ControlKind::ProgressBar: break;
    case ControlKind::StatusBar:
      // Our bounds, not the status bar's own idea of its height and place.
      style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
      break;
    case ControlKind::DriveList: style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST; break;
    case ControlKind::FolderList:
      style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      exStyle |= WS_EX_CLIENTEDGE;
      break;
    case ControlKind::Image:
    case ControlKind::Shape: break;
    default:
      // Containers: Tab and mnemonics reach the controls inside them.
      style |= WS_CLIPCHILDREN;
      exStyle |= WS_EX_CONTROLPARENT;
      break;
  }
}

int WindowHeight(const TControl& c) {
  return c.Kind() == ControlKind::DriveList ? c.Height() + kDropDownExtra : c.Height();
}

// Visits the control and everything inside it.
template <class F>
void ForTree(TControl& c, const F& f) {
  f(c);
  for (TControl* child : c.Controls()) ForTree(*child, f);
}

// Windows stacks child windows in creation order with the first on top, and the Tab order
// follows that stacking; the toolkit puts later controls on top instead. Only a panel laid
// over earlier siblings (a prompt covering the lines it replaces) needs the toolkit's order,
// so only such panels are raised, and the Tab order of everything else stays the table's.
void RaiseCoveringPanels(const TControl& parent) {
  const auto& kids = parent.Controls();
  for (std::size_t i = 0; i < kids.size(); ++i) {
    const TControl& c = *kids[i];
    if (c.Kind() != ControlKind::Panel) continue;
    const RECT mine{c.Left(), c.Top(), c.Left() + c.Width(), c.Top() + c.Height()};
    for (std::size_t j = 0; j < i; ++j) {
      const TControl& e = *kids[j];
      const RECT theirs{e.Left(), e.Top(), e.Left() + e.Width(), e.Top() + e.Height()};
      RECT overlap;
      if (IntersectRect(&overlap, &mine, &theirs)) {
        SetWindowPos(WindowOf(c), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        break;
      }
    }
  }
}

BOOL CALLBACK ForgetControl(HWND hwnd, LPARAM) {
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  return TRUE;
}

}  // namespace

COLORREF ToColorRef(TColor colour) {
  if (IsSystemColor(colour)) return GetSysColor(static_cast<int>(colour & 0xFF));
  return static_cast<COLORREF>(colour & 0xFFFFFF);
}

TControl* ControlOf(HWND hwnd) {
  if (!hwnd) return nullptr;
  return reinterpret_cast<TControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

HWND WindowOf(const TControl& control) { return reinterpret_cast<HWND>(control.BackendData()); }

Win32Backend::Win32Backend() {
  instance_ = this;
  InitCommonControlClasses();
  RegisterWindowClasses();
}

Win32Backend::~Win32Backend() {
  if (instance_ == this) instance_ = nullptr;
}

HFONT Win32Backend::FontFor(const TFont& font) {
  const auto key = std::make_tuple(font.Name, font.Size, font.Bold, font.Italic, font.Underline);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second.Get();
  LOGFONTA lf{};
  {
    WindowDc screen(nullptr);
    lf.lfHeight = -MulDiv(font.Size, GetDeviceCaps(screen.Dc(), LOGPIXELSY), 72);
  }
  lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.Italic;
  lf.lfUnderline = font.Underline;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = DEFAULT_QUALITY;
  lstrcpynA(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
  FontHandle handle(CreateFontIndirectA(&lf));
  HFONT h = handle.Get();
  if (!h) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_.emplace(key, std::move(handle));
  return h;
}

HBRUSH Win32Backend::BrushFor(COLORREF colour) {
  auto it = brushes_.find(colour);
  if (it != brushes_.end()) return it->second.Get();
  BrushHandle handle(CreateSolidBrush(colour));
  HBRUSH h = handle.Get();
  if (!h) return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  brushes_.emplace(colour, std::move(handle));
  return h;
}

void Win32Backend::RealizeForm(TForm& form) {
  if (WindowOf(form)) return;
  const bool dialog = form.BorderStyle() != TBorderStyle::bsSizeable;
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  DWORD exStyle = WS_EX_CONTROLPARENT;
  if (form.BorderStyle() == TBorderStyle::bsNone) {
  } else if (dialog) {
    style |= WS_CAPTION | WS_SYSMENU;
    exStyle |= WS_EX_DLGMODALFRAME;
  } else {
    style |= WS_OVERLAPPEDWINDOW;
  }
  const int cw = form.ClientWidth() ? form.ClientWidth() : form.Width();
  const int ch = form.ClientHeight() ? form.ClientHeight() : form.Height();
  RECT r{0, 0, cw, ch};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  int x = form.Left();
  int y = form.Top();
  if (form.Position() == TPosition::poScreenCenter) {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    x = work.left + (work.right - work.left - w) / 2;
    y = work.top + (work.bottom - work.top - h) / 2;
  }
  HWND owner = nullptr;
  TForm* main = Application().MainForm();
  if (main && main != &form) owner = WindowOf(*main);
  HWND hwnd = CreateWindowExA(exStyle, kFormClass, form.Caption().c_str(), style, x, y, w, h,
                              owner, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) {
    const DWORD code = GetLastError();
    throw plat::Error(plat::win32::DescribeError("CreateWindowEx", form.Name(), code));
  }
  form.SetBackendData(reinterpret_cast<std::uintptr_t>(hwnd));
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&form));
  if (!form.Name().empty())
    SetPropA(hwnd, kNameProperty,
             reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(GlobalAddAtomA(form.Name().c_str()))));
  if (main == &form || !mainWindow_) mainWindow_ = hwnd;
  form.SetRealized(this);
  for (TControl* child : form.Controls()) CreateControlWindow(*child, hwnd);
  RaiseCoveringPanels(form);
}

void Win32Backend::CreateControlWindow(TControl& c, HWND parent) {
  DWORD style = 0, exStyle = 0;
  StyleFor(c, style, exStyle);
  const bool hasText = c.Kind() != ControlKind::Panel && c.Kind() != ControlKind::Notebook;
  HWND hwnd = CreateWindowExA(exStyle, NativeClass(c.Kind()),
                              hasText ? c.Caption().c_str() : "", style, c.Left(), c.Top(),
                              c.Width(), WindowHeight(c), parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)),
                              GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) {
    const DWORD code = GetLastError();
    throw plat::Error(plat::win32::DescribeError("CreateWindowEx", c.Name(), code));
  }
  c.SetBackendData(reinterpret_cast<std::uintptr_t>(hwnd));
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&c));
  if (!c.Name().empty())
    SetPropA(hwnd, kNameProperty,
             reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(GlobalAddAtomA(c.Name().c_str()))));
  c.SetRealized(this);

  // A visual style would draw check box and radio texts in its own colour, ignoring
  // WM_CTLCOLORSTATIC: white on the page colour needs the classic look for these two.
  if (c.Kind() == ControlKind::CheckBox || c.Kind() == ControlKind::RadioButton)
    UseClassicLook(hwnd);
  ApplyFont(c, hwnd);
  switch (c.Kind()) {
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      SendMessageA(hwnd, BM_SETCHECK, static_cast<const TCheckBox&>(c).Checked() ? BST_CHECKED
                                                                                  : BST_UNCHECKED, 0);
      break;
    case ControlKind::ProgressBar: ControlChanged(c, Prop::Position); break;
    case ControlKind::StatusBar: {
      int right = -1;
      SendMessageA(hwnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
      SendMessageA(hwnd, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(c.Caption().c_str()));
      break;
    }
    case ControlKind::DriveList:
    case ControlKind::FolderList: FillList(c, hwnd); break;
    default: break;
  }
  if (!c.Enabled()) EnableWindow(hwnd, FALSE);
  if (IsContainer(c.Kind())) {
    for (TControl* child : c.Controls()) CreateControlWindow(*child, hwnd);
    RaiseCoveringPanels(c);
  }
  ApplyVisibility(c, hwnd);
}

void Win32Backend::ApplyFont(TControl& c, HWND hwnd) {
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.Font())), TRUE);
}

void Win32Backend::ApplyVisibility(TControl& c, HWND hwnd) {
  ShowWindow(hwnd, c.Visible() ? SW_SHOWNA : SW_HIDE);
}

void Win32Backend::FillList(TControl& c, HWND hwnd) {
  ++updating_;
  if (c.Kind() == ControlKind::DriveList) {
    auto& combo = static_cast<TDriveComboBox&>(c);
    SendMessageA(hwnd, CB_RESETCONTENT, 0, 0);
    int selected = -1;
    for (std::size_t i = 0; i < combo.Items().size(); ++i) {
      const std::string& item = combo.Items()[i];
      SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      if (!item.empty() && std::tolower(static_cast<unsigned char>(item[0])) ==
                               std::tolower(static_cast<unsigned char>(combo.Drive())))
        selected = static_cast<int>(i);
    }
    SendMessageA(hwnd, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  } else {
    auto& list = static_cast<TDirectoryListBox&>(c);
    SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
    SendMessageA(hwnd, LB_RESETCONTENT, 0, 0);
    const int levels = list.LevelCount();
    for (std::size_t i = 0; i < list.Items().size(); ++i) {
      // The current folder's levels step inwards; its subfolders sit one step further in.
      const int depth = static_cast<int>(i) < levels ? static_cast<int>(i) : levels;
      const std::string line = std::string(static_cast<std::size_t>(depth * kFolderIndent), ' ') +
                               list.Items()[i];
      SendMessageA(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
    if (levels > 0) SendMessageA(hwnd, LB_SETCURSEL, static_cast<WPARAM>(levels - 1), 0);
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  --updating_;
}

void Win32Backend::ControlDestroyed(TControl& control) {
  HWND hwnd = WindowOf(control);
  control.SetBackendData(0);
  if (!hwnd || !IsWindow(hwnd) || ControlOf(hwnd) != &control) return;
  // The control objects inside are being destroyed too: from here on their windows must not
  // reach them.
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
  EnumChildWindows(hwnd, ForgetControl, 0);
  ForTree(control, [](TControl& c) {
    if (HWND h = WindowOf(c)) {
      if (ATOM atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(h, kNameProperty)))) {
        RemovePropA(h, kNameProperty);
        GlobalDeleteAtom(atom);
      }
    }
  });
  if (hwnd == mainWindow_) mainWindow_ = nullptr;
  DestroyWindow(hwnd);
}

void Win32Backend::ControlChanged(TControl& c, Prop what) {
  HWND hwnd = WindowOf(c);
  if (!hwnd) return;
  switch (what) {
    case Prop::Bounds:
      if (c.Kind() == ControlKind::Form) {
        auto& form = static_cast<TForm&>(c);
        RECT r{0, 0, form.ClientWidth() ? form.ClientWidth() : form.Width(),
               form.ClientHeight() ? form.ClientHeight() : form.Height()};
        AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE)));
        SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      } else {
        MoveWindow(hwnd, c.Left(), c.Top(), c.Width(), WindowHeight(c), TRUE);
      }
      break;
    case Prop::Caption:
      ++updating_;
      if (c.Kind() == ControlKind::StatusBar)
        SendMessageA(hwnd, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(c.Caption().c_str()));
      else
        SetWindowTextA(hwnd, c.Caption().c_str());
      --updating_;
      break;
    case Prop::Enabled:
      EnableWindow(hwnd, c.Enabled() ? TRUE : FALSE);
      if (TForm* f = c.ParentForm()) MoveFocusOffHidden(WindowOf(*f));
      break;
    case Prop::Visible:
      if (c.Kind() == ControlKind::Form) break;  // ShowForm shows and hides forms
      ApplyVisibility(c, hwnd);
      if (TForm* f = c.ParentForm()) MoveFocusOffHidden(WindowOf(*f));
      break;
    case Prop::Color:
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Prop::Font:
      ApplyFont(c, hwnd);
      InvalidateRect(hwnd, nullptr, TRUE);
      break;
    case Prop::Checked:
      if (auto* box = dynamic_cast<TCheckBox*>(&c))
        SendMessageA(hwnd, BM_SETCHECK, box->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
      break;
    case Prop::Position:
      if (auto* bar = dynamic_cast<TProgressBar*>(&c)) {
        SendMessageA(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(bar->Min()), bar->Max());
        SendMessageA(hwnd, PBM_SETPOS, static_cast<WPARAM>(bar->Position()), 0);
      }
      break;
    case Prop::Picture:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case Prop::PageIndex:
      // The pages' own visibility has already followed the index.
      if (TForm* f = c.ParentForm()) MoveFocusOffHidden(WindowOf(*f));
      break;
    case Prop::Items:
      FillList(c, hwnd);
      break;
    case Prop::Cursor:
      break;
  }
}

void Win32Backend::MoveFocusOffHidden(HWND form) {
  if (!form || GetActiveWindow() != form) return;
  HWND focus = GetFocus();
  if (focus && IsWindowVisible(focus) && IsWindowEnabled(focus)) return;
  HWND next = GetNextDlgTabItem(form, nullptr, FALSE);
  SetFocus(next ? next : form);
}

void Win32Backend::Repaint(TControl& control) {
  if (HWND hwnd = WindowOf(control))
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void Win32Backend::ShowForm(TForm& form, bool visible) {
  RealizeForm(form);
  HWND hwnd = WindowOf(form);
  if (!hwnd) return;
  if (visible) {
    ShowWindow(hwnd, SW_SHOW);
    SetForegroundWindow(hwnd);
    UpdateWindow(hwnd);
    MoveFocusOffHidden(hwnd);
  } else {
    ShowWindow(hwnd, SW_HIDE);
  }
}

void Win32Backend::RunModal(TForm& form) {
  HWND hwnd = WindowOf(form);
  HWND owner = hwnd ? GetWindow(hwnd, GW_OWNER) : nullptr;
  // The owner is disabled while the modal form runs and enabled again before the form is
  // hidden, so the system activates the owner rather than some other program's window.
  struct OwnerLock {
    HWND owner;
    bool locked;
    ~OwnerLock() {
      if (locked) EnableWindow(owner, TRUE);
    }
  } lock{owner, owner && IsWindowEnabled(owner)};
  if (lock.locked) EnableWindow(owner, FALSE);
  while (form.ModalResult() == mrNone && !Application().Terminated()) {
    if (!PumpOne(true)) break;
  }
}

bool Win32Backend::PumpOne(bool wait) {
  MSG msg;
  if (wait) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the outermost loop
      return false;
    }
    if (got < 0) return false;
  } else {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
  }
  HWND top = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
  char cls[32] = {0};
  if (top && GetClassNameA(top, cls, sizeof cls) && lstrcmpA(cls, kFormClass) == 0 &&
      IsDialogMessageA(top, &msg))
    return true;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

void Win32Backend::RunLoop(TApplication& app) {
  while (!app.Terminated()) {
    if (!PumpOne(true)) break;
  }
}

void Win32Backend::ProcessMessages() {
  while (PumpOne(false)) {
  }
}

void Win32Backend::Terminate() {
  // Wakes GetMessage; the loop then sees the terminated application.
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
}

HWND Win32Backend::OwnerForBox() const {
  HWND active = GetActiveWindow();
  if (active && IsWindowVisible(active) && IsWindowEnabled(active)) return active;
  if (mainWindow_ && IsWindowVisible(mainWindow_)) return mainWindow_;
  return nullptr;
}

int Win32Backend::MessageBox(const std::string& text, const std::string& title, unsigned flags) {
  HWND owner = OwnerForBox();
  // Without an owner the box still keeps the user away from our other windows.
  const UINT extra = owner ? 0 : MB_TASKMODAL;
  return ::MessageBoxA(owner, text.c_str(), title.c_str(), flags | extra);
}

void Win32Backend::SetCursor(int cursor) {
  cursor_ = cursor;
  ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(cursor == crHourGlass ? IDC_WAIT
                                                                                   : IDC_ARROW)));
}

bool Win32Backend::ApplyCursor(HWND hwnd) {
  if (cursor_ == crHourGlass) {
    ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    return true;
  }
  const TControl* c = ControlOf(hwnd);
  if (c && c->Cursor() == crHandPoint) {
    ::SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)));
    return true;
  }
  return false;
}

void Win32Backend::OnCommand(HWND child, unsigned code) {
  TControl* c = ControlOf(child);
  if (!c) return;
  switch (c->Kind()) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      if (code == BN_CLICKED) Application().Dispatch([c] { c->UserClick(); });
      break;
    case ControlKind::Label:
      if (code == STN_CLICKED) Application().Dispatch([c] { c->UserClick(); });
      break;
    case ControlKind::Edit:
    case ControlKind::Memo:
      if (code == EN_CHANGE && !Updating()) {
        const int n = GetWindowTextLengthA(child);
        std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
        const int got = GetWindowTextA(child, &text[0], n + 1);
        text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
        auto* edit = static_cast<TEdit*>(c);
        Application().Dispatch([edit, &text] { edit->UserSetText(text); });
      }
      break;
    case ControlKind::DriveList:
      if (code == CBN_SELCHANGE) {
        const int index = static_cast<int>(SendMessageA(child, CB_GETCURSEL, 0, 0));
        auto* combo = static_cast<TDriveComboBox*>(c);
        if (index >= 0) Application().Dispatch([combo, index] { combo->UserSelect(index); });
      }
      break;
    case ControlKind::FolderList:
      if (code == LBN_DBLCLK) {
        const int index = static_cast<int>(SendMessageA(child, LB_GETCURSEL, 0, 0));
        auto* list = static_cast<TDirectoryListBox*>(c);
        if (index >= 0) Application().Dispatch([list, index] { list->UserOpen(index); });
      }
      break;
    default:
      break;
  }
}

void Win32Backend::OnDialogKey(TForm& form, int id) {
  if (id != IDOK && id != IDCANCEL) return;
  TButton* target = nullptr;
  ForTree(form, [&](TControl& c) {
    if (target || c.Kind() != ControlKind::Button || !c.Showing() || !c.EffectivelyEnabled())
      return;
    auto& b = static_cast<TButton&>(c);
    if ((id == IDOK && b.Default()) || (id == IDCANCEL && b.Cancel())) target = &b;
  });
  if (target) Application().Dispatch([target] { target->UserClick(); });
}

}  // namespace win32
}  // namespace gui
