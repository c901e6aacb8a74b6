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
constexpr int kMargin = 16;

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

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT r;
  GetClientRect(hwnd, &r);
  InflateRect(&r, -kMargin, -kMargin);
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  char folder[MAX_PATH];
  ProgramFolder(folder, MAX_PATH);
  RECT line = r;
  const int height = DrawTextA(dc, kInstalled, -1, &line, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  line = r;
  line.top += height + kMargin;
  const int labelHeight = DrawTextA(dc, kRunsFrom, -1, &line, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  line.top += labelHeight;
  DrawTextA(dc, folder, -1, &line, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_PATH_ELLIPSIS);
  SelectObject(dc, old);
  EndPaint(hwnd, &ps);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT:
      Paint(hwnd);
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
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassA(&wc)) return 1;
  HWND hwnd = CreateWindowExA(0, kClassName, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU |
                              WS_MINIMIZEBOX, CW_USEDEFAULT, CW_USEDEFAULT, 400, 180, nullptr,
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
