// Lumidesk.exe of the demo payload: one window saying that the product is installed and where
// it runs from. Plain Win32 with no C++ library, so the program stays a few kilobytes and the
// demo installer small.
#include <windows.h>

namespace {

const char kClassName[] = "LumideskDemo";
const char kTitle[] = "Lumidesk";
const char kInstalled[] = "Lumidesk \xE8 installato su questo computer.";
const char kRunsFrom[] = "Cartella del programma:";
constexpr int kIconId = 1;
constexpr int kMessageId = 100;
constexpr int kLabelId = 101;
constexpr int kFolderId = 102;
constexpr int kMargin = 16;
constexpr int kWidth = 400;
constexpr int kHeight = 180;

// The folder of this program, shown under the message so the user sees where it landed.
void ProgramFolder(char* out, DWORD size) {
  const DWORD n = GetModuleFileNameA(nullptr, out, size);
  if (n == 0 || n >= size) {
    out[0] = '\0';
    return;
  }
  for (DWORD i = n; i > 0; --i) {
    if (out[i - 1] == '\\') {
      out[i - 1] = '\0';
      return;
    }
  }
}

// The texts are static controls rather than painted, so a test can read them back.
void AddTexts(HWND hwnd) {
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE));
  HGDIOBJ font = GetStockObject(DEFAULT_GUI_FONT);
  char folder[MAX_PATH];
  ProgramFolder(folder, MAX_PATH);
  const struct {
    const char* text;
    int id, top, height;
    DWORD style;
  } lines[] = {{kInstalled, kMessageId, kMargin, 20, 0},
               {kRunsFrom, kLabelId, kMargin + 32, 20, 0},
               {folder, kFolderId, kMargin + 52, 40, SS_PATHELLIPSIS}};
  for (const auto& l : lines) {
    HWND text = CreateWindowExA(0, "STATIC", l.text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX | l.style,
                                kMargin, l.top, kWidth - 3 * kMargin, l.height, hwnd,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(l.id)), instance,
                                nullptr);
    SendMessageA(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      AddTexts(hwnd);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconId));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                              WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT, kWidth, kHeight, nullptr,
                              nullptr, instance, nullptr);
  if (!hwnd) return 1;
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
