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
#include "Wizard.h"

namespace {

using driver::Click;
using driver::Expect;
using driver::TextOf;
using driver::WaitFor;

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

// One installation run into destination; the time from "Installa" to the success box.
double InstallRun(const std::string& setup, const std::string& destination) {
  driver::ForceOnline();
  driver::Installer app(setup, driver::kTitle);
  driver::Wizard w(app);
  driver::ExpectOnline(w);
  w.Go("Button2", "Meil");
  driver::PassCard(w);
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
