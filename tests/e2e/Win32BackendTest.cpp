// The Win32 GUI back end against real windows (run under Wine): the conformance suite every
// back end passes, acted out with window messages and read from the windows themselves; the
// wizard's windows against their golden picture; then what only windows have: the native
// classes and styles of each kind, a centred dialog, text colours, a modal form disabling its
// owner, the keyboard, the timer sinks' hidden windows, and the checks that guard the bitmaps
// handed to GDI.
// First: windows.h, with the A/W rename of MessageBox taken back.
#include "platform/gui/win32/Win32Backend.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "BackendConformance.h"
#include "WizardPicture.h"
#include "platform/gui/Application.h"
#include "platform/gui/ExtControls.h"
#include "platform/gui/FileControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/StdControls.h"
#include "platform/gui/win32/DibView.h"
#include "wizard/content/Content.h"

namespace gui {
namespace {

using win32::DibView;
using win32::ViewDib;
using win32::WindowOf;

// --- BMP layout checks -------------------------------------------------------------------

// A bottom-up BMP of the given size and depth, with a full colour table below 16 bits.
std::vector<unsigned char> MakeBmp(int width, int height, int bits) {
  const std::size_t colours = bits <= 8 ? (std::size_t{1} << bits) : 0;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4;
  const std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
  const std::size_t off = 14 + 40 + colours * 4;
  std::vector<unsigned char> f(off + stride * rows, 0);
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<unsigned char>(v >> (8 * i));
  };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, static_cast<std::uint32_t>(f.size()));
  put32(10, static_cast<std::uint32_t>(off));
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  f[26] = 1;
  f[28] = static_cast<unsigned char>(bits);
  return f;
}

void Put32(std::vector<unsigned char>& f, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

TEST(DibViewTest, AcceptsWellFormedPictures) {
  struct Case {
    const char* what;
    int width, height, bits;
  } cases[] = {
      {"24 bits, bottom-up", 3, 2, 24},
      {"24 bits, top-down", 3, -2, 24},
      {"8 bits with its colour table", 5, 5, 8},
      {"1 bit, row padded to four bytes", 9, 3, 1},
      {"32 bits", 1, 1, 32},
  };
  for (const Case& c : cases) {
    const auto f = MakeBmp(c.width, c.height, c.bits);
    DibView v;
    ASSERT_TRUE(ViewDib(f.data(), f.size(), v)) << c.what;
    EXPECT_EQ(v.width, c.width) << c.what;
    EXPECT_EQ(v.height, c.height < 0 ? -c.height : c.height) << c.what;
    EXPECT_EQ(static_cast<const unsigned char*>(v.info), f.data() + 14) << c.what;
  }
}

TEST(DibViewTest, RefusesWhatWouldMakeGdiReadOutsideTheBytes) {
  struct Case {
    const char* what;
    void (*mutate)(std::vector<unsigned char>&);
  } cases[] = {
      {"pixels cut short", [](std::vector<unsigned char>& f) { f.pop_back(); }},
      {"pixel offset past the end",
       [](std::vector<unsigned char>& f) { Put32(f, 10, static_cast<std::uint32_t>(f.size() + 1)); }},
      {"pixel offset inside the header", [](std::vector<unsigned char>& f) { Put32(f, 10, 20); }},
      {"header size larger than the file", [](std::vector<unsigned char>& f) { Put32(f, 14, 0xFFFFFFF0u); }},
      {"header size too small", [](std::vector<unsigned char>& f) { Put32(f, 14, 12); }},
      {"height so large the size wraps", [](std::vector<unsigned char>& f) { Put32(f, 22, 0x7FFFFFFFu); }},
      {"most negative height", [](std::vector<unsigned char>& f) { Put32(f, 22, 0x80000000u); }},
      {"zero width", [](std::vector<unsigned char>& f) { Put32(f, 18, 0); }},
      {"negative width", [](std::vector<unsigned char>& f) { Put32(f, 18, 0xFFFFFFFFu); }},
      {"compressed", [](std::vector<unsigned char>& f) { Put32(f, 30, 1); }},
      {"odd bit depth", [](std::vector<unsigned char>& f) { f[28] = 7; }},
      {"not a BMP", [](std::vector<unsigned char>& f) { f[0] = 'X'; }},
  };
  for (const Case& c : cases) {
    auto f = MakeBmp(4, 4, 24);
    c.mutate(f);
    DibView v;
    EXPECT_FALSE(ViewDib(f.data(), f.size(), v)) << c.what;
    EXPECT_EQ(v.bits, nullptr) << c.what;
  }
  auto table = MakeBmp(4, 4, 8);
  Put32(table, 46, 257);  // more colours than 8 bits can index
  DibView v;
  EXPECT_FALSE(ViewDib(table.data(), table.size(), v)) << "colour table too long";
  EXPECT_FALSE(ViewDib(nullptr, 0, v));
  const auto whole = MakeBmp(4, 4, 24);
  for (std::size_t n = 0; n < whole.size(); ++n)
    EXPECT_FALSE(ViewDib(whole.data(), n, v)) << "truncated to " << n << " bytes";
}

TEST(DibViewTest, ReadsTheProgramsOwnPictures) {
  DibView v;
  const auto welcome = content::WelcomeBitmap();
  ASSERT_TRUE(ViewDib(welcome.data(), welcome.size(), v));
  EXPECT_EQ(v.width, 104);
  EXPECT_EQ(v.height, 93);
  const auto logo = content::LogoBitmap();
  ASSERT_TRUE(ViewDib(logo.data(), logo.size(), v));
  EXPECT_EQ(v.width, 200);
  EXPECT_EQ(v.height, 54);
}

// --- What the windows show ----------------------------------------------------------------

using win32::ControlOf;
using win32::WindowKind;

std::string ClassOf(HWND h) {
  char buf[64] = {0};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

std::string TextOf(HWND h) {
  const int n = GetWindowTextLengthA(h);
  std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
  SendMessageA(h, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(std::strlen(text.c_str()));
  return text;
}

// The name the back end gives a window for drivers in other processes.
std::string NameOf(HWND h) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(h, "LumiName")));
  char buf[128] = {0};
  if (atom) GlobalGetAtomNameA(atom, buf, sizeof buf);
  return buf;
}

LONG_PTR StyleOf(HWND h) { return GetWindowLongPtrA(h, GWL_STYLE); }

// The control's picture as its window shows it. Where the window's text is no caption (panels
// and the notebook have none, a list's is its selection) the caption is the control's.
guitest::ControlPicture NativePicture(const TControl& c) {
  guitest::ControlPicture p;
  const HWND h = WindowOf(c);
  if (!h || ControlOf(h) != &c) {
    p.name = c.Name() + " (no window of its own)";
    return p;
  }
  const LONG_PTR style = StyleOf(h);
  p.name = NameOf(h);
  p.kind = c.Kind();
  p.visible = (style & WS_VISIBLE) != 0;
  p.enabled = (style & WS_DISABLED) == 0;
  if (c.Kind() == ControlKind::Form) {
    RECT client;
    GetClientRect(h, &client);
    p.width = client.right;
    p.height = client.bottom;
    p.border = (style & WS_THICKFRAME) ? TBorderStyle::bsSizeable
               : (style & WS_CAPTION)  ? TBorderStyle::bsDialog
                                       : TBorderStyle::bsNone;
    p.caption = TextOf(h);
    return p;
  }
  const win32::KindWindow kind = WindowKind(c);
  const HWND parent = GetParent(h);
  p.parent = NameOf(parent);
  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  p.left = r.left;
  p.top = r.top;
  p.width = r.right - r.left;
  p.height = r.bottom - r.top;
  // A closed drop-down list is as high as the system makes its field; the height it was made
  // with shows only when it drops down (and Windows and Wine report that rectangle differently).
  if (kind.extraHeight) p.height = c.Height();
  p.caption = kind.captionAsText ? TextOf(h) : c.Caption();
  if (dynamic_cast<const TCheckBox*>(&c))
    p.checked = SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (auto* book = dynamic_cast<const TNotebook*>(&c)) {
    for (int i = 0; i < book->PageCount() && !p.page; ++i)
      if (StyleOf(WindowOf(*book->Page(i))) & WS_VISIBLE) p.page = i;
  }
  if (dynamic_cast<const TProgressBar*>(&c)) {
    p.rangeMin = static_cast<int>(SendMessageA(h, PBM_GETRANGE, TRUE, 0));
    p.rangeMax = static_cast<int>(SendMessageA(h, PBM_GETRANGE, FALSE, 0));
    p.position = static_cast<int>(SendMessageA(h, PBM_GETPOS, 0, 0));
  }
  if (dynamic_cast<const TEdit*>(&c)) {
    p.edge = (GetWindowLongPtrA(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
    p.readOnly = (style & ES_READONLY) != 0;
  }
  if (dynamic_cast<const TMemo*>(&c)) p.scrollBar = (style & WS_VSCROLL) != 0;
  if (dynamic_cast<const TLabel*>(&c)) p.wordWrap = (style & SS_TYPEMASK) == SS_LEFT;
  if (auto* d = dynamic_cast<const TDriveComboBox*>(&c))
    p.moves = d->DirList() ? d->DirList()->Name() : "";
  return p;
}

// The real back end with message boxes recorded instead of shown (a shown box would wait for
// a user).
class RecordingBackend : public win32::Win32Backend {
 public:
  int MessageBox(const std::string& text, const std::string& title, unsigned flags) override {
    boxes.push_back({text, title, flags});
    return 1;
  }
  std::vector<guitest::ShownBox> boxes;
};

}  // namespace
}  // namespace gui

namespace guitest {

class Win32Harness {
 public:
  gui::TApplication& App() { return app_; }
  // What a click on the control's window sends: a system button or label notifies its parent,
  // our own windows take the mouse button's release. Sent whatever the control's state, as Wine
  // does for a disabled button: the back end itself must refuse a hidden or disabled control.
  void Click(gui::TControl& c) {
    const HWND h = gui::win32::WindowOf(c);
    if (!h) return;  // never shown: there is nothing to click
    const std::string cls = gui::ClassOf(h);
    if (lstrcmpiA(cls.c_str(), "Button") == 0 || lstrcmpiA(cls.c_str(), "Static") == 0)
      SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), BN_CLICKED),
                   reinterpret_cast<LPARAM>(h));
    else
      SendMessageA(h, WM_LBUTTONUP, 0, 0);
  }
  void Type(gui::TEdit& e, const std::string& text) {
    SendMessageA(gui::win32::WindowOf(e), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  void CloseBox(gui::TForm& f) { SendMessageA(gui::win32::WindowOf(f), WM_CLOSE, 0, 0); }
  // The actions run from a timer's first tick, which only the modal form's loop delivers.
  void DuringModal(std::function<void()> user) {
    modal_ = app_.Backend().CreateTimerSink([this, user](unsigned) {
      modal_.reset();
      user();
    });
    modal_->Start(1, 10);
  }
  ControlPicture Picture(const gui::TControl& c) { return gui::NativePicture(c); }
  bool Shows(const gui::TControl& c) {
    const HWND h = gui::win32::WindowOf(c);
    return h && IsWindowVisible(h);
  }
  std::vector<ShownBox> Boxes() { return gui_.boxes; }
  void Pass(unsigned ms) {
    const DWORD start = GetTickCount();
    do {
      app_.ProcessMessages();
      Sleep(5);
    } while (GetTickCount() - start < ms);
  }
  bool WaitUntil(const std::function<bool()>& done, unsigned maxMs) {
    const DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < maxMs) {
      app_.ProcessMessages();
      Sleep(5);
    }
    return done();
  }

 private:
  gui::RecordingBackend gui_;
  gui::TApplication app_{gui_};
  std::unique_ptr<gui::TimerSink> modal_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, BackendConformance, Win32Harness);

// The windows the wizard's tables build, as Windows shows them, against the picture the
// headless layout test holds them to.
TEST(Win32WizardWindows, WizardWindowsMatchTheGoldenPicture) {
  gui::RecordingBackend gui;
  gui::TApplication app(gui);
  ExpectGoldenPicture(WizardWindowsPicture(app, gui::NativePicture));
}

}  // namespace guitest

namespace gui {
namespace {

class Win32BackendTest : public ::testing::Test {
 protected:
  Win32BackendTest() {
    form_ = app_.CreateForm<TForm>();
    form_->SetName("Form1");
    form_->SetCaption("Test");
    form_->SetClientSize(300, 200);
    form_->SetBorderStyle(TBorderStyle::bsDialog);
    form_->SetPosition(TPosition::poScreenCenter);
  }
  template <class T>
  T* Add(const char* name, TControl* parent, int l, int t, int w, int h, const char* caption = "") {
    T* c = Create<T>(form_);
    c->SetParent(parent ? parent : form_);
    c->SetName(name);
    c->SetBounds(l, t, w, h);
    c->SetCaption(caption);
    return c;
  }

  RecordingBackend gui_;
  TApplication app_{gui_};
  TForm* form_;
};

TEST_F(Win32BackendTest, FormIsACentredDialogWithTheStatedClientSize) {
  form_->Show();
  HWND h = WindowOf(*form_);
  ASSERT_TRUE(IsWindow(h));
  EXPECT_EQ(TextOf(h), "Test");
  RECT client;
  GetClientRect(h, &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
  const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME) << "a dialog border cannot be resized";
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  RECT win;
  GetWindowRect(h, &win);
  RECT work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_LE(std::abs((win.left + win.right) / 2 - (work.left + work.right) / 2), 1);
  EXPECT_LE(std::abs((win.top + win.bottom) / 2 - (work.top + work.bottom) / 2), 1);
}

template <class T>
TControl* AddOf(TForm& form) {
  return Create<T>(&form);
}

// Each kind's window: its class, the style bits that make it that kind, the control it stands
// for and the name drivers find it by.
TEST_F(Win32BackendTest, ControlsBecomeNativeWindowsWithTheirStates) {
  const struct {
    TControl* (*add)(TForm&);
    const char* windowClass;
    LONG_PTR style;  // bits that must be set
    LONG_PTR mask;   // of the bits compared
  } kinds[] = {
      {AddOf<TButton>, "Button", BS_PUSHBUTTON | WS_TABSTOP, BS_TYPEMASK | WS_TABSTOP},
      {AddOf<TCheckBox>, "Button", BS_CHECKBOX, BS_TYPEMASK},
      {AddOf<TRadioButton>, "Button", BS_RADIOBUTTON, BS_TYPEMASK},
      {AddOf<TLabel>, "Static", SS_NOTIFY | SS_LEFTNOWORDWRAP, SS_NOTIFY | SS_TYPEMASK},
      {AddOf<TEdit>, "Edit", ES_AUTOHSCROLL, ES_AUTOHSCROLL | ES_MULTILINE},
      {AddOf<TMemo>, "Edit", ES_MULTILINE | ES_WANTRETURN, ES_MULTILINE | ES_WANTRETURN},
      {AddOf<TProgressBar>, PROGRESS_CLASSA, 0, 0},
      {AddOf<TStatusBar>, STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN,
       CCS_NORESIZE | CCS_NOPARENTALIGN},
      {AddOf<TDriveComboBox>, "ComboBox", CBS_DROPDOWNLIST, CBS_DROPDOWNLIST},
      {AddOf<TDirectoryListBox>, "ListBox", LBS_NOTIFY, LBS_NOTIFY},
      {AddOf<TImage>, win32::kPictureClass, 0, 0},
      {AddOf<TShape>, win32::kShapeClass, 0, 0},
      {AddOf<TPanel>, win32::kContainerClass, WS_CLIPCHILDREN, WS_CLIPCHILDREN},
      {AddOf<TGroupBox>, win32::kContainerClass, WS_CLIPCHILDREN, WS_CLIPCHILDREN},
      {AddOf<TNotebook>, win32::kContainerClass, WS_CLIPCHILDREN, WS_CLIPCHILDREN},
  };
  std::vector<TControl*> made;
  int top = 0;
  for (const auto& k : kinds) {
    TControl* c = k.add(*form_);
    c->SetParent(form_);
    c->SetName("Control" + std::to_string(made.size()));
    c->SetBounds(0, top += 10, 50, 10);
    made.push_back(c);
  }
  TPage* page = static_cast<TNotebook*>(made.back())->AddPage("Page");
  form_->Show();
  for (std::size_t i = 0; i < made.size(); ++i) {
    const HWND h = WindowOf(*made[i]);
    const char* kind = KindName(made[i]->Kind());
    ASSERT_TRUE(IsWindow(h)) << kind;
    EXPECT_EQ(lstrcmpiA(ClassOf(h).c_str(), kinds[i].windowClass), 0) << kind << ": " << ClassOf(h);
    EXPECT_EQ(GetWindowLongPtrA(h, GWL_STYLE) & kinds[i].mask, kinds[i].style) << kind;
    EXPECT_EQ(ControlOf(h), made[i]) << kind;
    EXPECT_EQ(NameOf(h), made[i]->Name()) << kind;
  }
  EXPECT_EQ(ClassOf(WindowOf(*page)), win32::kContainerClass);
  EXPECT_EQ(GetParent(WindowOf(*page)), WindowOf(*made.back()));
}

TEST_F(Win32BackendTest, LabelsDrawInTheFontColourOnTheirOwnColour) {
  auto* label = Add<TLabel>("Label1", nullptr, 10, 10, 100, 14, "Hello");
  label->SetColor(Rgb(0, 64, 128));
  TFont f = label->Font();
  f.Color = clWhite;
  label->SetFont(f);
  form_->Show();
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = SendMessageA(WindowOf(*form_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(WindowOf(*label)));
  EXPECT_NE(brush, 0);
  EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
  EXPECT_EQ(GetBkColor(dc), RGB(0, 64, 128));
  LOGBRUSH lb{};
  GetObjectA(reinterpret_cast<HBRUSH>(brush), sizeof lb, &lb);
  EXPECT_EQ(lb.lbColor, RGB(0, 64, 128));
  DeleteDC(dc);
}

TEST_F(Win32BackendTest, ModalFormDisablesItsOwnerUntilItCloses) {
  Add<TButton>("First", nullptr, 10, 10, 75, 25, "&Back");
  auto* change = Add<TButton>("Change", nullptr, 10, 40, 75, 25, "Change");
  form_->Show();
  SetForegroundWindow(WindowOf(*form_));
  SetFocus(WindowOf(*change));
  auto* dialog = Create<TForm>(&app_);
  dialog->SetClientSize(200, 100);
  dialog->SetBorderStyle(TBorderStyle::bsDialog);
  auto* ok = Create<TButton>(dialog);
  ok->SetParent(dialog);
  ok->SetBounds(10, 10, 75, 25);
  ok->SetModalResult(mrOk);
  bool ownerEnabledDuring = true;
  ok->OnClick = [&](TComponent*) { ownerEnabledDuring = IsWindowEnabled(WindowOf(*form_)) != FALSE; };
  // The click arrives once the modal loop runs, the way the system delivers a real one.
  dialog->OnPaint = [&](TComponent*) {
    if (HWND b = WindowOf(*ok)) PostMessageA(b, BM_CLICK, 0, 0);
    dialog->OnPaint = nullptr;
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_TRUE(IsWindowEnabled(WindowOf(*form_)));
  EXPECT_EQ(GetWindow(WindowOf(*dialog), GW_OWNER), WindowOf(*form_));
  EXPECT_FALSE(IsWindowVisible(WindowOf(*dialog)));
  gui_.ProcessMessages();
  EXPECT_EQ(GetFocus(), WindowOf(*change)) << "focus returns where the user left it";
  HWND gone = WindowOf(*dialog);
  delete dialog;
  EXPECT_FALSE(IsWindow(gone));
}

TEST_F(Win32BackendTest, KeyboardReachesControlsByMnemonicAndTabOrderSkipsHiddenPages) {
  auto* book = Add<TNotebook>("Notebook1", nullptr, 0, 0, 300, 150);
  TPage* first = book->AddPage("a");
  TPage* second = book->AddPage("b");
  first->SetBounds(0, 0, 300, 150);
  second->SetBounds(0, 0, 300, 150);
  book->SetPageIndex(0);
  auto* back = Add<TButton>("Back", first, 10, 10, 75, 25, "<<&Back");
  auto* hidden = Add<TButton>("Hidden", second, 10, 10, 75, 25, "&Yes");
  auto* close = Add<TButton>("Close", nullptr, 10, 160, 75, 25, "&Close");
  int closes = 0, hiddens = 0;
  close->OnClick = [&](TComponent*) { ++closes; };
  hidden->OnClick = [&](TComponent*) { ++hiddens; };
  form_->Show();
  SetForegroundWindow(WindowOf(*form_));
  SetFocus(WindowOf(*back));
  ASSERT_EQ(GetFocus(), WindowOf(*back));

  // Tab goes from the page's button past the hidden page to the form's button.
  PostMessageA(WindowOf(*back), WM_KEYDOWN, VK_TAB, 0);
  gui_.ProcessMessages();
  EXPECT_EQ(GetFocus(), WindowOf(*close));

  // Alt+C presses "&Close"; Alt+Y finds no showing control.
  PostMessageA(GetFocus(), WM_SYSCHAR, 'c', 1 << 29);
  gui_.ProcessMessages();
  EXPECT_EQ(closes, 1);
  PostMessageA(GetFocus(), WM_SYSCHAR, 'y', 1 << 29);
  gui_.ProcessMessages();
  EXPECT_EQ(hiddens, 0);
}

// --- Timer sinks --------------------------------------------------------------------------

// The sink's window answers every message but its timers as the system's default procedure
// does; a tick that throws is shown, and a tick that ends its own sink takes the window along.
TEST_F(Win32BackendTest, TimerSinkWindowLeavesOtherMessagesToTheSystemAndSurvivesAThrow) {
  int ticks = 0;
  std::unique_ptr<TimerSink> sink;
  sink = gui_.CreateTimerSink([&](unsigned id) {
    ++ticks;
    if (id == 1) throw std::runtime_error("broken");
    if (id == 2) sink.reset();
  });
  const HWND h = win32::TimerSinkWindow(*sink);
  ASSERT_TRUE(IsWindow(h));
  SetWindowTextA(h, "window");
  char buf[32] = {0};
  EXPECT_EQ(GetWindowTextA(h, buf, sizeof buf), 6) << "WM_GETTEXT answered by the system";
  EXPECT_STREQ(buf, "window");
  EXPECT_EQ(ticks, 0);
  SendMessageA(h, WM_TIMER, 1, 0);
  ASSERT_EQ(gui_.boxes.size(), 1u);
  EXPECT_EQ(gui_.boxes[0].text, "broken");
  EXPECT_EQ(SendMessageA(h, WM_TIMER, 2, 0), 0);
  EXPECT_EQ(sink, nullptr);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(ticks, 2);
}

TEST_F(Win32BackendTest, FreeingAControlDestroysItsWindow) {
  auto* button = Add<TButton>("Button1", nullptr, 10, 10, 75, 25, "No");
  form_->Show();
  HWND h = WindowOf(*button);
  ASSERT_TRUE(IsWindow(h));
  delete button;
  EXPECT_FALSE(IsWindow(h));
  HWND f = WindowOf(*form_);
  delete form_;
  EXPECT_FALSE(IsWindow(f));
}

}  // namespace
}  // namespace gui
