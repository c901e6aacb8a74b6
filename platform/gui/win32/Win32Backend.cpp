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

// Shown states of the kinds that have one (KindWindow::showState).

void ShowChecked(TControl& c, HWND hwnd, bool) {
  SendMessageA(hwnd, BM_SETCHECK,
               static_cast<TCheckBox&>(c).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void ShowProgress(TControl& c, HWND hwnd, bool) {
  const auto& bar = static_cast<TProgressBar&>(c);
  SendMessageA(hwnd, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()), bar.Max());
  SendMessageA(hwnd, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0);
}

// A status bar's caption is the text of its one part.
void ShowStatusText(TControl& c, HWND hwnd, bool creating) {
  if (creating) {
    int right = -1;
    SendMessageA(hwnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
  }
  SendMessageA(hwnd, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(c.Caption().c_str()));
}

void ShowDrives(TControl& c, HWND hwnd, bool) {
  const auto& combo = static_cast<TDriveComboBox&>(c);
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
}

void ShowFolders(TControl& c, HWND hwnd, bool) {
  const auto& list = static_cast<TDirectoryListBox&>(c);
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

// Notifications read back as user actions (KindWindow::command).

// A button's BN_CLICKED and a label's STN_CLICKED (both 0).
void Clicked(TControl& c, HWND, unsigned code) {
  if (code == BN_CLICKED) Application().Dispatch([&c] { c.UserClick(); });
}

void Typed(TControl& c, HWND hwnd, unsigned code) {
  // The back end's own writes of the text are no typing.
  if (code != EN_CHANGE || Win32Backend::Instance()->Updating()) return;
  const int n = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
  const int got = GetWindowTextA(hwnd, &text[0], n + 1);
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  auto& edit = static_cast<TEdit&>(c);
  Application().Dispatch([&edit, &text] { edit.UserSetText(text); });
}

void DriveSelected(TControl& c, HWND hwnd, unsigned code) {
  if (code != CBN_SELCHANGE) return;
  const int index = static_cast<int>(SendMessageA(hwnd, CB_GETCURSEL, 0, 0));
  auto& combo = static_cast<TDriveComboBox&>(c);
  if (index >= 0) Application().Dispatch([&combo, index] { combo.UserSelect(index); });
}

void FolderOpened(TControl& c, HWND hwnd, unsigned code) {
  if (code != LBN_DBLCLK) return;
  const int index = static_cast<int>(SendMessageA(hwnd, LB_GETCURSEL, 0, 0));
  auto& list = static_cast<TDirectoryListBox&>(c);
  if (index >= 0) Application().Dispatch([&list, index] { list.UserOpen(index); });
}

int WindowHeight(const TControl& c) { return c.Height() + WindowKind(c).extraHeight; }

// Visits the control and everything inside it.
template <class F>
void ForTree(TControl& c, const F& f) {
  f(c);
  for (TControl* child : c.Controls()) ForTree(*child, f);
}

// Windows stacks child windows in creation order with the first on top, and the Tab order
// follows that stacking; the toolkit puts later controls on top instead. Only a panel laid
// over earlier siblings (a prompt covering the lines it replaces) needs the toolkit's order,
// so only such panels (KindWindow::coversEarlier) are raised, and the Tab order of everything
// else stays the table's.
void RaiseCoveringPanels(const TControl& parent) {
  const auto& kids = parent.Controls();
  for (std::size_t i = 0; i < kids.size(); ++i) {
    const TControl& c = *kids[i];
    if (!WindowKind(c).coversEarlier) continue;
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

KindWindow WindowKind(const TControl& c) {
  KindWindow w;
  // Our own class for the kinds no system control fits; Tab and mnemonics reach the controls
  // inside those that hold others.
  const auto container = [&w] {
    w.windowClass = kContainerClass;
    w.style = WS_CLIPCHILDREN;
    w.exStyle = WS_EX_CONTROLPARENT;
    w.holdsWindows = true;
  };
  switch (c.Kind()) {
    case ControlKind::Button:
      w.windowClass = "BUTTON";
      w.style = WS_TABSTOP |
                (static_cast<const TButton&>(c).Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
      w.systemColours = true;
      w.command = Clicked;
      break;
    case ControlKind::CheckBox:
    case ControlKind::RadioButton:
      w.windowClass = "BUTTON";
      w.style = WS_TABSTOP | (c.Kind() == ControlKind::CheckBox ? BS_CHECKBOX : BS_RADIOBUTTON);
      // A visual style would draw their texts in its own colour, ignoring WM_CTLCOLORSTATIC:
      // white on the page colour needs the classic look.
      w.classicLook = true;
      w.showState = ShowChecked;
      w.stateProp = Prop::Checked;
      w.command = Clicked;
      break;
    case ControlKind::Label:
      w.windowClass = "STATIC";
      w.style = SS_NOTIFY |
                (static_cast<const TLabel&>(c).WordWrap() ? SS_LEFT : SS_LEFTNOWORDWRAP);
      w.command = Clicked;
      break;
    case ControlKind::Edit:
    case ControlKind::Memo: {
      const auto& e = static_cast<const TEdit&>(c);
      w.windowClass = "EDIT";
      w.style = WS_TABSTOP | (e.ReadOnly() ? ES_READONLY : 0);
      if (c.Kind() == ControlKind::Memo) {
        w.style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (static_cast<const TMemo&>(c).VerticalScrollBar()) w.style |= WS_VSCROLL;
      } else {
        w.style |= ES_AUTOHSCROLL;
      }
      if (e.Border()) w.exStyle = WS_EX_CLIENTEDGE;
      w.command = Typed;
      break;
    }
    case ControlKind::ProgressBar:
      w.windowClass = PROGRESS_CLASSA;
      w.showState = ShowProgress;
      w.stateProp = Prop::Position;
      break;
    case ControlKind::StatusBar:
      w.windowClass = STATUSCLASSNAMEA;
      // Our bounds, not the status bar's own idea of its height and place.
      w.style = CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
      w.showState = ShowStatusText;
      w.stateProp = Prop::Caption;
      break;
    case ControlKind::DriveList:
      w.windowClass = "COMBOBOX";
      w.style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
      w.captionAsText = false;  // its text is the drive selected
      w.extraHeight = kDropDownExtra;
      w.showState = ShowDrives;
      w.stateProp = Prop::Items;
      w.command = DriveSelected;
      break;
    case ControlKind::FolderList:
      w.windowClass = "LISTBOX";
      w.style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      w.exStyle = WS_EX_CLIENTEDGE;
      w.captionAsText = false;
      w.showState = ShowFolders;
      w.stateProp = Prop::Items;
      w.command = FolderOpened;
      break;
    case ControlKind::Image:
      w.windowClass = kPictureClass;
      break;
    case ControlKind::Shape:
      w.windowClass = kShapeClass;
      break;
    case ControlKind::Panel:
      container();
      w.captionAsText = false;  // a panel shows no caption
      w.coversEarlier = true;
      w.paintFrame = PaintPanelFrame;
      break;
    case ControlKind::GroupBox:
      container();
      w.paintFrame = PaintGroupFrame;
      break;
    case ControlKind::Notebook:
      container();
      w.captionAsText = false;
      break;
    case ControlKind::Page:
    case ControlKind::Form:  // a form's window is made by RealizeForm
      container();
      break;
  }
  return w;
}

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
  const KindWindow kind = WindowKind(c);
  HWND hwnd = CreateWindowExA(kind.exStyle, kind.windowClass,
                              kind.captionAsText ? c.Caption().c_str() : "",
                              WS_CHILD | WS_CLIPSIBLINGS | kind.style, c.Left(), c.Top(),
                              c.Width(), c.Height() + kind.extraHeight, parent,
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

  if (kind.classicLook) UseClassicLook(hwnd);
  ApplyFont(c, hwnd);
  if (kind.showState) {
    ++updating_;
    kind.showState(c, hwnd, true);
    --updating_;
  }
  if (!c.Enabled()) EnableWindow(hwnd, FALSE);
  if (kind.holdsWindows) {
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
  const KindWindow kind = WindowKind(c);
  if (kind.showState && what == kind.stateProp) {
    ++updating_;
    kind.showState(c, hwnd, false);
    --updating_;
    return;
  }
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
    case Prop::Position:
    case Prop::Items:
      break;  // the kinds that have these show them through showState
    case Prop::Picture:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case Prop::PageIndex:
      // The pages' own visibility has already followed the index.
      if (TForm* f = c.ParentForm()) MoveFocusOffHidden(WindowOf(*f));
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
  if (auto command = WindowKind(*c).command) command(*c, child, code);
}

void Win32Backend::OnDialogKey(TForm& form, int id) {
  if (id != IDOK && id != IDCANCEL) return;
  TButton* target = nullptr;
  ForTree(form, [&](TControl& c) {
    auto* b = dynamic_cast<TButton*>(&c);
    if (target || !b || !c.Showing() || !c.EffectivelyEnabled()) return;
    if ((id == IDOK && b->Default()) || (id == IDCANCEL && b->Cancel())) target = b;
  });
  if (target) Application().Dispatch([target] { target->UserClick(); });
}

}  // namespace win32
}  // namespace gui
