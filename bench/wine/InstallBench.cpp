// lumi-installbench: under Wine, times the installer's installation run as a user starts it,
// from pressing "Installa" to the success message, against lumipack.exe extracting the same
// installer's payload, in interleaved repeats; and, within the run, the checks before it
// writes anything and its commit.
//   lumi-installbench SETUP.EXE LUMIPACK.EXE DESTROOT REPEATS
// Repeat r installs into DESTROOT\install-r, installs there again over that installation (an
// upgrade: every file replaced, its backup kept until the commit), and extracts into
// DESTROOT\extract-r (fresh folders; the caller deletes them after the run). Prints one line
// per measurement:
//   install MS | upgrade MS | checks MS | commit MS | extract MS | start MS
// checks: from "Installa" to the journal's first appearance (the whole payload verified, the
// free space and the files to replace looked at); commit: from the journal's commit record to
// the journal gone (the backups deleted), in the upgrade. start is lumipack.exe's own start and
// exit ("help"), the part of an extract's time that is process creation under Wine rather than
// restoring.
#include <windows.h>
#include <shlobj.h>

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

// The installation journal's place, as the installer names it.
std::string JournalPath() {
  char folder[MAX_PATH] = {0};
  SHGetSpecialFolderPathA(nullptr, folder, CSIDL_COMMON_APPDATA, FALSE);
  return std::string(folder) + "\\NORTAVIA Zentaro installazione.journal";
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Whether the journal's last record is the commit record.
bool Committed(const std::string& journal) {
  HANDLE h = CreateFileA(journal.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE |
                         FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  char tail[8] = {0};
  DWORD read = 0;
  const DWORD size = GetFileSize(h, nullptr);
  if (size >= sizeof tail && size != INVALID_FILE_SIZE) {
    SetFilePointer(h, static_cast<LONG>(size - sizeof tail), nullptr, FILE_BEGIN);
    ReadFile(h, tail, sizeof tail, &read, nullptr);
  }
  CloseHandle(h);
  return read == sizeof tail && std::string(tail, sizeof tail) == " commit\n";
}

struct RunTimes {
  double total = 0;   // "Installa" to the success box
  double checks = 0;  // "Installa" to the journal's first appearance
  double commit = 0;  // the commit record to the journal gone
};

// One installation run into destination.
RunTimes InstallRun(const std::string& setup, const std::string& destination) {
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
  const std::string journal = JournalPath();
  Expect(!Exists(journal), "no journal before the run");
  const LARGE_INTEGER start = Now();
  Click(w["Button9"], "Installa");
  // The journal watched every millisecond: it appears after the checks, ends in its commit
  // record once everything is written, and goes when the backups have gone.
  LARGE_INTEGER begun{}, committed{}, gone{};
  bool seen = false, sealed = false;
  while (!sealed || Exists(journal)) {
    const bool there = Exists(journal);
    if (!seen && there) {
      seen = true;
      begun = Now();
    }
    if (seen && !sealed && there && Committed(journal)) {
      sealed = true;
      committed = Now();
    }
    if (seen && !there && !sealed) break;  // gone before a commit was seen: too quick to see
    if (Milliseconds(start, Now()) > 300000) break;
    Sleep(1);
  }
  gone = Now();
  // Polled every 20 ms: small beside a run of seconds.
  HWND box = app.WaitForMessageBox(300000);
  const LARGE_INTEGER end = Now();
  Expect(box != nullptr, "a box ends the run");
  driver::ExpectText(box, "Installazione conclusa con successo", "title of the closing box");
  PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  app.WaitForExit(60000);
  RunTimes t;
  t.total = Milliseconds(start, end);
  t.checks = seen ? Milliseconds(start, begun) : 0;
  t.commit = sealed ? Milliseconds(committed, gone) : 0;
  return t;
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
      const auto installBoth = [&] {
        const RunTimes fresh = InstallRun(setup, install);
        std::printf("install %.1f\nchecks %.1f\n", fresh.total, fresh.checks);
        const RunTimes upgrade = InstallRun(setup, install);
        std::printf("upgrade %.1f\ncommit %.1f\n", upgrade.total, upgrade.commit);
      };
      if (r % 2 == 1) {
        installBoth();
        std::printf("extract %.1f\n", RunProcess(extract));
      } else {
        std::printf("extract %.1f\n", RunProcess(extract));
        installBoth();
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
