// The Win32 GUI back end against real windows (run under Wine): forms and controls as native
// windows with the stated sizes, texts and states; clicks and typing reaching the controls'
// events; exceptions stopped inside window procedures; modal forms disabling their owner;
// timer sinks on hidden windows; and the checks that guard the bitmaps handed to GDI.
// First: windows.h, with the A/W rename of MessageBox taken back.
#include "platform/gui/win32/Win32Backend.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/gui/Application.h"
#include "platform/gui/ExtControls.h"
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

// --- Windows ---------------------------------------------------------------------------

// The real back end with message boxes recorded instead of shown (a shown box would wait for
// a user).
class RecordingBackend : public win32::Win32Backend {
 public:
  int MessageBox(const std::string& text, const std::string&, unsigned) override {
    boxes.push_back(text);
    return 1;
  }
  std::vector<std::string> boxes;
};

std::string ClassOf(HWND h) {
  char buf[64] = {0};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

std::string TextOf(HWND h) {
  char buf[256] = {0};
  SendMessageA(h, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
  return buf;
}

class Win32BackendTest : public ::testing::Test {
 protected:
  Win32BackendTest() {
    form_ = app_.CreateForm<TForm>();
    form_->SetName("Form1");
    form_->SetCaption("Prova");
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
  EXPECT_EQ(TextOf(h), "Prova");
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

TEST_F(Win32BackendTest, ControlsBecomeNativeWindowsWithTheirStates) {
  auto* button = Add<TButton>("Button1", nullptr, 10, 10, 75, 25, "&Avanti>>");
  auto* label = Add<TLabel>("Label1", nullptr, 10, 40, 100, 14, "Citt\xE0");
  auto* memo = Add<TMemo>("Memo1", nullptr, 10, 60, 200, 60, "riga 1\r\nriga 2\r\n");
  memo->SetVerticalScrollBar(true);
  auto* check = Add<TCheckBox>("CheckBox1", nullptr, 10, 130, 80, 17, "Maschio");
  check->SetChecked(true);
  auto* bar = Add<TProgressBar>("ProgressBar1", nullptr, 10, 150, 100, 16);
  auto* status = Add<TStatusBar>("StatusBar1", nullptr, 0, 182, 300, 18);
  button->SetEnabled(false);
  form_->Show();

  EXPECT_EQ(ClassOf(WindowOf(*button)), "Button");
  EXPECT_EQ(TextOf(WindowOf(*button)), "&Avanti>>");
  EXPECT_FALSE(IsWindowEnabled(WindowOf(*button)));
  EXPECT_EQ(ClassOf(WindowOf(*label)), "Static");
  EXPECT_EQ(TextOf(WindowOf(*label)), "Citt\xE0");
  EXPECT_TRUE(GetWindowLongPtrA(WindowOf(*memo), GWL_STYLE) & WS_VSCROLL);
  EXPECT_TRUE(GetWindowLongPtrA(WindowOf(*memo), GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(SendMessageA(WindowOf(*check), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(ClassOf(WindowOf(*bar)), PROGRESS_CLASSA);
  EXPECT_EQ(ClassOf(WindowOf(*status)), STATUSCLASSNAMEA);

  // Later changes of the objects reach the windows.
  button->SetEnabled(true);
  label->SetCaption("Et\xE0");
  bar->SetPosition(40);
  status->SetSimpleText("Connessione attiva");
  check->SetChecked(false);
  label->Hide();
  EXPECT_TRUE(IsWindowEnabled(WindowOf(*button)));
  EXPECT_EQ(TextOf(WindowOf(*label)), "Et\xE0");
  EXPECT_EQ(SendMessageA(WindowOf(*bar), PBM_GETPOS, 0, 0), 40);
  EXPECT_EQ(TextOf(WindowOf(*status)), "Connessione attiva");
  EXPECT_EQ(SendMessageA(WindowOf(*check), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_FALSE(IsWindowVisible(WindowOf(*label)));
}

TEST_F(Win32BackendTest, OnlyTheActivePageOfANotebookShows) {
  auto* book = Add<TNotebook>("Notebook1", nullptr, 0, 0, 300, 180);
  TPage* pages[3];
  for (int i = 0; i < 3; ++i) {
    pages[i] = book->AddPage("p" + std::to_string(i));
    pages[i]->SetBounds(0, 0, 300, 180);
  }
  auto* onSecond = Add<TButton>("B", pages[1], 5, 5, 75, 25, "Si");
  book->SetPageIndex(0);
  form_->Show();
  EXPECT_TRUE(IsWindowVisible(WindowOf(*pages[0])));
  EXPECT_FALSE(IsWindowVisible(WindowOf(*pages[1])));
  EXPECT_FALSE(IsWindowVisible(WindowOf(*onSecond)));
  book->SetPageIndex(1);
  EXPECT_FALSE(IsWindowVisible(WindowOf(*pages[0])));
  EXPECT_TRUE(IsWindowVisible(WindowOf(*pages[1])));
  EXPECT_FALSE(IsWindowVisible(WindowOf(*pages[2])));
  EXPECT_TRUE(IsWindowVisible(WindowOf(*onSecond)));
  EXPECT_EQ(GetParent(WindowOf(*onSecond)), WindowOf(*pages[1]));
}

TEST_F(Win32BackendTest, ClicksReachOnlyEnabledControls) {
  auto* button = Add<TButton>("Button1", nullptr, 10, 10, 75, 25, "Installa");
  auto* check = Add<TCheckBox>("CheckBox1", nullptr, 10, 40, 80, 17, "Maschio");
  int clicks = 0;
  button->OnClick = [&](TComponent*) { ++clicks; };
  form_->Show();
  SendMessageA(WindowOf(*button), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  button->SetEnabled(false);
  // Wine sends BN_CLICKED even for a disabled button; the click must still not count.
  SendMessageA(WindowOf(*form_), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
               reinterpret_cast<LPARAM>(WindowOf(*button)));
  EXPECT_EQ(clicks, 1);
  SendMessageA(WindowOf(*check), BM_CLICK, 0, 0);
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(SendMessageA(WindowOf(*check), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Win32BackendTest, TypingRaisesOnChangeButTheProgramsOwnTextDoesNot) {
  auto* edit = Add<TEdit>("Edit1", nullptr, 10, 10, 150, 20);
  std::vector<std::string> changes;
  edit->OnChange = [&](TComponent*) { changes.push_back(edit->Text()); };
  form_->Show();
  SendMessageA(WindowOf(*edit), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("c:\\lumi"));
  EXPECT_EQ(edit->Text(), "c:\\lumi");
  edit->SetText("c:\\altro");
  EXPECT_EQ(TextOf(WindowOf(*edit)), "c:\\altro");
  EXPECT_EQ(changes, std::vector<std::string>{"c:\\lumi"});
}

TEST_F(Win32BackendTest, AnExceptionInAHandlerGoesToTheDisplayAndTheProgramGoesOn) {
  auto* button = Add<TButton>("Button1", nullptr, 10, 10, 75, 25, "Cambia");
  button->OnClick = [](TComponent*) { throw std::runtime_error("Impossibile creare la cartella"); };
  form_->Show();
  SendMessageA(WindowOf(*button), BM_CLICK, 0, 0);
  ASSERT_EQ(gui_.boxes.size(), 1u);
  EXPECT_EQ(gui_.boxes[0], "Impossibile creare la cartella");
  SendMessageA(WindowOf(*button), BM_CLICK, 0, 0);
  EXPECT_EQ(gui_.boxes.size(), 2u);
}

TEST_F(Win32BackendTest, LabelsDrawInTheFontColourOnTheirOwnColour) {
  auto* label = Add<TLabel>("Label1", nullptr, 10, 10, 100, 14, "Buon lavoro!!!");
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
  Add<TButton>("First", nullptr, 10, 10, 75, 25, "&Indietro");
  auto* change = Add<TButton>("Change", nullptr, 10, 40, 75, 25, "Cambia");
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
  // The click arrives once the modal loop runs.
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
  auto* back = Add<TButton>("Back", first, 10, 10, 75, 25, "<<&Indietro");
  auto* hidden = Add<TButton>("Hidden", second, 10, 10, 75, 25, "&Si");
  auto* close = Add<TButton>("Close", nullptr, 10, 160, 75, 25, "&Chiudi");
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

  // Alt+C presses "&Chiudi"; Alt+S finds no showing control.
  PostMessageA(GetFocus(), WM_SYSCHAR, 'c', 1 << 29);
  gui_.ProcessMessages();
  EXPECT_EQ(closes, 1);
  PostMessageA(GetFocus(), WM_SYSCHAR, 's', 1 << 29);
  gui_.ProcessMessages();
  EXPECT_EQ(hiddens, 0);
}

// --- Timer sinks --------------------------------------------------------------------------

TEST_F(Win32BackendTest, TimerSinkTicksThroughTheMessageLoopUntilStopped) {
  std::vector<unsigned> ticks;
  auto sink = gui_.CreateTimerSink([&](unsigned id) { ticks.push_back(id); });
  const HWND h = win32::TimerSinkWindow(*sink);
  ASSERT_TRUE(IsWindow(h));
  ASSERT_TRUE(sink->Start(1, 10));
  const DWORD start = GetTickCount();
  while (ticks.size() < 3 && GetTickCount() - start < 3000) {
    gui_.ProcessMessages();
    Sleep(5);
  }
  ASSERT_GE(ticks.size(), 3u);
  EXPECT_EQ(ticks[0], 1u);
  sink->Stop(1);
  gui_.ProcessMessages();
  const std::size_t after = ticks.size();
  Sleep(60);
  gui_.ProcessMessages();
  EXPECT_EQ(ticks.size(), after);
  sink.reset();
  EXPECT_FALSE(IsWindow(h));
}

// The sink's window answers every message but its timers as the system's default procedure
// does; a tick that throws is shown, and a tick may end its own sink.
TEST_F(Win32BackendTest, TimerSinkWindowLeavesOtherMessagesToTheSystemAndSurvivesAThrow) {
  int ticks = 0;
  std::unique_ptr<TimerSink> sink;
  sink = gui_.CreateTimerSink([&](unsigned id) {
    ++ticks;
    if (id == 1) throw std::runtime_error("guasto");
    if (id == 2) sink.reset();
  });
  const HWND h = win32::TimerSinkWindow(*sink);
  SetWindowTextA(h, "finestra");
  char buf[32] = {0};
  EXPECT_EQ(GetWindowTextA(h, buf, sizeof buf), 8) << "WM_GETTEXT answered by the system";
  EXPECT_STREQ(buf, "finestra");
  EXPECT_EQ(ticks, 0);
  SendMessageA(h, WM_TIMER, 1, 0);
  ASSERT_EQ(gui_.boxes.size(), 1u);
  EXPECT_EQ(gui_.boxes[0], "guasto");
  EXPECT_EQ(SendMessageA(h, WM_TIMER, 2, 0), 0);
  EXPECT_EQ(sink, nullptr);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(ticks, 2);
}

TEST_F(Win32BackendTest, FreeingAControlDestroysItsWindow) {
  auto* button = Add<TButton>("Button1", nullptr, 10, 10, 75, 25, "NO");
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
