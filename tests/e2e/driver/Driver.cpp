// Finding, reading and clicking the installer's windows from a driver process.
#include "Driver.h"

#include <cstdio>

namespace driver {

namespace {

constexpr char kNameProperty[] = "LumiName";
std::string g_shotFolder;

struct Search {
  DWORD pid;
  std::string title;
  std::string name;
  HWND found;
};

BOOL CALLBACK FindTop(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  // Windows of earlier runs may still exist: only this process's count.
  if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
  if (!s->title.empty() && TextOf(hwnd) != s->title) return TRUE;
  if (!s->name.empty() && NameOf(hwnd) != s->name) return TRUE;
  s->found = hwnd;
  return FALSE;
}

BOOL CALLBACK FindChild(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  if (NameOf(hwnd) != s->name) return TRUE;
  s->found = hwnd;
  return FALSE;
}

BOOL CALLBACK FindBox(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char cls[16] = {0};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (pid == s->pid && IsWindowVisible(hwnd) && lstrcmpA(cls, "#32770") == 0) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

std::string WindowsPath(const std::string& path) {
  // Wine maps the Unix root to drive Z:.
  if (path.empty() || path[0] != '/') return path;
  std::string p = "Z:" + path;
  for (char& c : p)
    if (c == '/') c = '\\';
  return p;
}

std::string NameOf(HWND hwnd) {
  const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropA(hwnd, kNameProperty)));
  if (!atom) return std::string();
  char buf[128] = {0};
  const UINT n = GlobalGetAtomNameA(atom, buf, sizeof buf);
  return std::string(buf, n);
}

std::string TextOf(HWND hwnd) {
  // WM_GETTEXT rather than GetWindowText: the latter does not ask another process's controls.
  const auto n = SendMessageA(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
  const auto got = SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return text;
}

bool Showing(HWND hwnd) { return hwnd && IsWindowVisible(hwnd); }

void Expect(bool condition, const std::string& what) {
  if (!condition) throw Failure{what};
}

void ExpectText(HWND hwnd, const std::string& expected, const std::string& what) {
  const std::string got = TextOf(hwnd);
  if (got != expected) throw Failure{what + ": expected \"" + expected + "\", found \"" + got + "\""};
}

void Click(HWND button, const std::string& what) {
  // Wine delivers BN_CLICKED for BM_CLICK even to a disabled button; a user could not click it.
  // A button may be off for a moment (the online detector's tick can turn the forward buttons
  // off and on again within one message), so the driver waits as a user would.
  Expect(button != nullptr, what + " exists");
  Expect(WaitFor([&] { return IsWindowVisible(button) != FALSE; }, 3000), what + " is visible");
  Expect(WaitFor([&] { return IsWindowEnabled(button) != FALSE; }, 3000), what + " is enabled");
  PostMessageA(button, BM_CLICK, 0, 0);
}

void Type(HWND edit, const std::string& text) {
  Expect(edit && IsWindowVisible(edit) && IsWindowEnabled(edit), "edit is usable");
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

Installer::Installer(const std::string& exe, const std::string& title) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  std::string cmd = "\"" + WindowsPath(exe) + "\"";
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_))
    throw Failure{"cannot start " + exe + " (error " + std::to_string(GetLastError()) + ")"};
  Search s{pi_.dwProcessId, title, "", nullptr};
  WaitFor([&] {
    s.found = nullptr;
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  }, 30000);
  if (!s.found) {
    TerminateProcess(pi_.hProcess, 1);
    throw Failure{"no window titled \"" + title + "\" appeared"};
  }
  main_ = s.found;
}

Installer::~Installer() {
  if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
    PostMessageA(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi_.hProcess, 5000) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
  }
  CloseHandle(pi_.hThread);
  CloseHandle(pi_.hProcess);
}

HWND Installer::WaitForForm(const std::string& name, int timeoutMs) const {
  Search s{pi_.dwProcessId, "", name, nullptr};
  WaitFor([&] {
    s.found = nullptr;
    EnumWindows(FindTop, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  }, timeoutMs);
  Expect(s.found != nullptr, "the window " + name + " appears");
  return s.found;
}

HWND Installer::Control(HWND top, const std::string& name) const {
  Search s{pi_.dwProcessId, "", name, nullptr};
  EnumChildWindows(top, FindChild, reinterpret_cast<LPARAM>(&s));
  Expect(s.found != nullptr, "the control " + name + " exists");
  return s.found;
}

HWND Installer::WaitForMessageBox(int timeoutMs) const {
  Search s{pi_.dwProcessId, "", "", nullptr};
  WaitFor([&] {
    s.found = nullptr;
    EnumWindows(FindBox, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
  }, timeoutMs);
  return s.found;
}

DWORD Installer::WaitForExit(int timeoutMs) {
  Expect(WaitForSingleObject(pi_.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0,
         "the installer ends");
  DWORD code = 0;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

void SetShotFolder(const std::string& folder) { g_shotFolder = WindowsPath(folder); }

void Snapshot(const std::string& name) {
  if (g_shotFolder.empty()) return;
  // Let the window finish painting first.
  Sleep(300);
  const std::string request = g_shotFolder + "\\" + name + ".request";
  const std::string done = g_shotFolder + "\\" + name + ".png";
  DeleteFileA(done.c_str());
  HANDLE h = CreateFileA(request.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  Expect(h != INVALID_HANDLE_VALUE, "can write " + request);
  CloseHandle(h);
  const bool answered = WaitFor([&] {
    return GetFileAttributesA(request.c_str()) == INVALID_FILE_ATTRIBUTES &&
           GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES;
  }, 15000);
  Expect(answered, "screenshot " + name + " taken");
  std::printf("screenshot %s\n", done.c_str());
  std::fflush(stdout);
}

}  // namespace driver
