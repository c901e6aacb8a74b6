// lumi-installbench: under Wine, times the installer's installation run as a user starts it,
// from pressing "Installa" to the success message, against lumipack.exe extracting the same
// installer's payload, in interleaved repeats.
//   lumi-installbench SETUP.EXE LUMIPACK.EXE DESTROOT REPEATS
// Repeat r installs into DESTROOT\install-r and extracts into DESTROOT\extract-r (fresh
// folders; the caller deletes them after the run). Prints one line per measurement:
//   install MS | extract MS | start MS
// where start is lumipack.exe's own start and exit ("help"), the part of an extract's time
// that is process creation under Wine rather than restoring.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "Driver.h"

namespace {

using driver::Click;
using driver::Expect;
using driver::TextOf;
using driver::WaitFor;

const char kTitle[] = "Installazione di Lumidesk Vers.3.0.0.3";
const char kOnline[] = "Connessione attiva";
const char kRemoteAccessKey[] = "System\\CurrentControlSet\\Services\\RemoteAccess";
const char* const kPages[] = {"Default", "Meil", "due", "Tre", "erwe", "Quattro"};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

// An active remote connection makes the online detector report online whatever the network,
// which enables the forward buttons.
void ForceOnline() {
  HKEY key;
  Expect(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRemoteAccessKey, 0, nullptr, 0, KEY_SET_VALUE,
                         nullptr, &key, nullptr) == ERROR_SUCCESS,
         "can write the remote connection value");
  const BYTE active[4] = {1, 0, 0, 0};
  RegSetValueExA(key, "Remote Connection", 0, REG_BINARY, active, sizeof active);
  RegCloseKey(key);
}

// Answers any box the installer shows (a mail client's, for instance) until done() holds.
template <class F>
void AnsweringBoxes(driver::Installer& app, F done, int timeoutMs) {
  WaitFor([&] {
    if (HWND box = app.WaitForMessageBox(100)) {
      if (HWND ok = GetDlgItem(box, IDOK)) PostMessageA(ok, BM_CLICK, 0, 0);
      WaitFor([&] { return !IsWindow(box); }, 3000);
    }
    return done();
  }, timeoutMs);
}

class Wizard {
 public:
  explicit Wizard(driver::Installer& app) : app_(app) {}
  HWND operator[](const char* name) const { return app_.Control(app_.Main(), name); }
  void Go(const char* button, const char* page) {
    Click((*this)[button], button);
    Expect(WaitFor([&] {
      for (const char* p : kPages)
        if ((IsWindowVisible((*this)[p]) != FALSE) != (std::string(p) == page)) return false;
      return true;
    }), std::string("page ") + page + " shows");
  }

 private:
  driver::Installer& app_;
};

// One installation run into destination; the time from "Installa" to the success box.
double InstallRun(const std::string& setup, const std::string& destination) {
  ForceOnline();
  driver::Installer app(setup, kTitle);
  Wizard w(app);
  Expect(WaitFor([&] { return TextOf(w["StatusBar1"]) == kOnline; }, 8000), "online");
  w.Go("Button2", "Meil");
  for (const char* edit : {"Edit1", "Edit2", "Edit7", "Edit3", "Edit4", "Edit5"}) driver::Type(w[edit], "bench");
  Click(w["Button12"], "Button12");
  AnsweringBoxes(app, [&] { return driver::Showing(w["due"]); }, 15000);
  Click(w["Button5"], "Button5");
  HWND chooser = app.WaitForForm("Form2");
  driver::Type(app.Control(chooser, "Edit1"), destination);
  Click(app.Control(chooser, "Button1"), "Conferma");
  Expect(WaitFor([&] { return TextOf(w["LabelDir"]) == destination; }), "destination chosen");
  w.Go("Button4", "Tre");
  w.Go("Button6", "erwe");
  w.Go("Button1", "Quattro");
  const LARGE_INTEGER start = Now();
  Click(w["Button9"], "Installa");
  // Polled every 20 ms: small beside a run of seconds.
  HWND box = app.WaitForMessageBox(300000);
  const LARGE_INTEGER end = Now();
  Expect(box != nullptr, "a box ends the run");
  driver::ExpectText(box, "Installazione conclusa con successo", "title of the closing box");
  PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  app.WaitForExit(60000);
  return Milliseconds(start, end);
}

// Runs a command line to its end; its wall time. Throws on a non-zero exit code.
double RunProcess(std::string commandLine) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  const LARGE_INTEGER start = Now();
  Expect(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &si, &pi) != FALSE,
         "can start " + commandLine);
  WaitForSingleObject(pi.hProcess, INFINITE);
  const LARGE_INTEGER end = Now();
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  Expect(code == 0, commandLine + " exited with " + std::to_string(code));
  return Milliseconds(start, end);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || std::atoi(argv[4]) < 1) {
    std::fputs("usage: lumi-installbench SETUP.EXE LUMIPACK.EXE DESTROOT REPEATS\n", stderr);
    return 2;
  }
  const std::string setup = argv[1];
  const std::string lumipack = "\"" + driver::WindowsPath(argv[2]) + "\"";
  const std::string root = argv[3];
  const int repeats = std::atoi(argv[4]);
  try {
    for (int r = 1; r <= repeats; ++r) {
      const std::string extract = lumipack + " extract \"" + driver::WindowsPath(setup) + "\" -d \"" +
                                  root + "\\extract-" + std::to_string(r) + "\"";
      const std::string install = root + "\\install-" + std::to_string(r);
      // Alternate which comes first, so neither always runs on a warmer machine.
      if (r % 2 == 1) {
        std::printf("install %.1f\n", InstallRun(setup, install));
        std::printf("extract %.1f\n", RunProcess(extract));
      } else {
        std::printf("extract %.1f\n", RunProcess(extract));
        std::printf("install %.1f\n", InstallRun(setup, install));
      }
      std::printf("start %.1f\n", RunProcess(lumipack + " help"));
      std::fflush(stdout);
    }
  } catch (const driver::Failure& f) {
    std::fprintf(stderr, "FAILED: %s\n", f.message.c_str());
    return 1;
  }
  return 0;
}
