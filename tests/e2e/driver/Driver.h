// A small toolkit for driving the installer's windows from another process, as a user would:
// find the installer's window by title and process id, find its controls by the name the GUI
// back end gives them (the "LumiName" window property), read texts with WM_GETTEXT, and click
// with BM_CLICK only what is visible and enabled. Every wait polls with a timeout.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace driver {

// A failed expectation: the message says what was expected and what was found.
struct Failure {
  std::string message;
};

class Installer {
 public:
  // Starts the program and waits for its window with this title.
  Installer(const std::string& exe, const std::string& title);
  ~Installer();
  Installer(const Installer&) = delete;
  Installer& operator=(const Installer&) = delete;

  HWND Main() const { return main_; }
  DWORD ProcessId() const { return pi_.dwProcessId; }
  // A top-level window of the installer whose control name is this, once it is visible.
  HWND WaitForForm(const std::string& name, int timeoutMs = 10000) const;
  // A control by name anywhere in the window.
  HWND Control(HWND top, const std::string& name) const;
  // Waits until the process has ended; its exit code.
  DWORD WaitForExit(int timeoutMs = 15000);
  // A message box of the installer (a "#32770" window), or null once the timeout passes.
  HWND WaitForMessageBox(int timeoutMs) const;

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// A Unix path as Wine sees it (Z:\...); other paths unchanged.
std::string WindowsPath(const std::string& path);
std::string NameOf(HWND hwnd);
std::string TextOf(HWND hwnd);
bool Showing(HWND hwnd);
// Clicks a button after checking that a user could: it is visible and enabled. Posted, so a
// handler that opens a modal window does not block the driver.
void Click(HWND button, const std::string& what);
// Types a text into an edit (the edit reports the change to the program as typing does).
void Type(HWND edit, const std::string& text);
// Polls the condition every few milliseconds until it holds or the timeout passes.
template <class F>
bool WaitFor(F condition, int timeoutMs = 5000) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > static_cast<DWORD>(timeoutMs)) return false;
    Sleep(20);
  }
}
void Expect(bool condition, const std::string& what);
void ExpectText(HWND hwnd, const std::string& expected, const std::string& what);

// Screenshots: with a folder set, Snapshot writes "<folder>\<name>.request" and waits for the
// shell beside Wine (scripts/screenshots.sh) to answer with "<name>.png".
void SetShotFolder(const std::string& folder);
void Snapshot(const std::string& name);

}  // namespace driver
