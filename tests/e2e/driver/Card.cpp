// The statistics card scenarios: the prefix's system folder and messaging flag are set for the
// run and put back afterwards, whatever the outcome.
#include "Card.h"

#include <cstdint>
#include <fstream>
#include <sstream>

#include "Installed.h"
#include "Wizard.h"

namespace driver {

namespace {

const char kMessagingKey[] = "SOFTWARE\\Microsoft\\Windows Messaging Subsystem";
const char kCaptureVariable[] = "LUMI_MAPI_CAPTURE";
const char kSubject[] = "Scheda statistica Zentaro";

std::string SystemFolder() {
  char folder[MAX_PATH];
  const UINT n = GetSystemDirectoryA(folder, MAX_PATH);
  Expect(n > 0 && n < MAX_PATH, "the system folder is known");
  return std::string(folder, n);
}

std::string TempFolder() {
  char folder[MAX_PATH];
  const DWORD n = GetTempPathA(MAX_PATH, folder);
  Expect(n > 0 && n < MAX_PATH, "the temporary folder is known");
  return std::string(folder, n);
}

// Puts the given library into the system folder as mapi32.dll, or (with an empty path) takes
// the one there away; the original goes back at the end. A run that died half-way left the
// original under the kept name, and it is put back first.
class SystemMapi {
 public:
  explicit SystemMapi(const std::string& library)
      : path_(SystemFolder() + "\\mapi32.dll"), kept_(SystemFolder() + "\\mapi32.lumi-e2e-kept") {
    Restore();
    if (FileExists(path_))
      Expect(MoveFileA(path_.c_str(), kept_.c_str()) != FALSE, "the system's mapi32.dll moves aside");
    if (!library.empty())
      Expect(CopyFileA(WindowsPath(library).c_str(), path_.c_str(), FALSE) != FALSE,
             "the capture library goes into the system folder");
  }
  ~SystemMapi() { Restore(); }

 private:
  void Restore() {
    if (!FileExists(kept_)) return;
    DeleteFileA(path_.c_str());
    MoveFileA(kept_.c_str(), path_.c_str());
  }
  std::string path_, kept_;
};

// Sets the messaging subsystem's "MAPI" flag for the run; the earlier value goes back after.
class MessagingFlag {
 public:
  explicit MessagingFlag(const char* value) {
    Expect(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kMessagingKey, 0, nullptr, 0,
                           KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr) == ERROR_SUCCESS,
           "the messaging subsystem's key can be written");
    char old[64];
    DWORD size = sizeof old;
    DWORD type = 0;
    had_ = RegQueryValueExA(key_, "MAPI", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
               ERROR_SUCCESS && type == REG_SZ;
    if (had_) old_.assign(old, size > 0 && old[size - 1] == '\0' ? size - 1 : size);
    Set(value);
  }
  ~MessagingFlag() {
    if (had_) Set(old_.c_str());
    else RegDeleteValueA(key_, "MAPI");
    RegCloseKey(key_);
  }

 private:
  void Set(const char* value) {
    RegSetValueExA(key_, "MAPI", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(lstrlenA(value) + 1));
  }
  HKEY key_ = nullptr;
  bool had_ = false;
  std::string old_;
};

// The file the capture library writes; the installer inherits its name through the
// environment.
class Capture {
 public:
  Capture() : path_(TempFolder() + "lumi-e2e-mail.txt") {
    Clear();
    SetEnvironmentVariableA(kCaptureVariable, path_.c_str());
  }
  ~Capture() {
    Clear();
    SetEnvironmentVariableA(kCaptureVariable, nullptr);
  }
  void Clear() { DeleteFileA(path_.c_str()); }
  bool Exists() const { return FileExists(path_); }
  std::string Text() const {
    std::ifstream in(path_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::string path_;
};

// Where two texts first differ, for a readable failure.
std::string Difference(const std::string& expected, const std::string& found) {
  std::size_t i = 0;
  while (i < expected.size() && i < found.size() && expected[i] == found[i]) ++i;
  auto around = [i](const std::string& s) {
    const std::size_t from = i > 20 ? i - 20 : 0;
    std::string part = s.substr(from, 60);
    for (char& c : part)
      if (c == '\r' || c == '\n') c = '|';
    return "\"" + part + "\"";
  };
  return "differs at byte " + std::to_string(i) + ": expected " + around(expected) + ", found " +
         around(found);
}

// The card as the mail client must receive it from the wizard: no session, the wizard's window
// as parent, flags 0, the tagged body ending with the notice as the page shows it.
std::string ExpectedMail(HWND parent, const std::string& mailbox, const std::string& notice) {
  const std::string body = std::string("<Cognome>") + kCard.surname + "</Cognome>\r\n" +
                           "<Nome>" + kCard.name + "</Nome>\r\n" +
                           "<Indirizzo>" + kCard.address + "</Indirizzo>\r\n" +
                           "<Citta>" + kCard.city + "</Citta>\r\n" +
                           "<Prov>" + kCard.province + "</Prov>\r\n" +
                           "<Eta>" + kCard.age + "</Eta>\r\n" +
                           "<Cellulare>" + kCard.phone + "</Cellulare>\r\n" +
                           "<Maschio>TRUE</Maschio>\r\n" +
                           "<VERSIONE>3.0.0.3</VERSIONE>\r\n" +
                           "Accetto quanto segue:\r\n" + notice;
  return "session=0\nparent=" + std::to_string(reinterpret_cast<std::uintptr_t>(parent)) +
         "\nflags=0\nreserved=0\n" +
         "subject=" + kSubject + "\nbody=" + body + "\n" +
         "type=(null)\ndate=(null)\nconversation=(null)\nmessageflags=0\n" +
         "class=0\nname=" + kCard.surname + " " + kCard.name + "\naddress=\neid=0\n" +
         "recipients=1\nclass=1\nname=" + mailbox + "\naddress=SMTP:" + mailbox + "\neid=0\n" +
         "files=0\n";
}

void ExpectNoMailLoaded(const std::string& exe, const Capture& capture) {
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  ExpectOnline(w);
  w.Go("Button2", "Meil");
  PassCard(w);
  Expect(!capture.Exists(), "no capture library received the card");
}

}  // namespace

void CardMail(const std::string& exe, const std::string& mailbox, const std::string& library) {
  SystemMapi placed(library);
  MessagingFlag installed("1");
  Capture capture;
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  ExpectOnline(w);
  w.Go("Button2", "Meil");
  FillCard(w);
  const std::string expected = ExpectedMail(app.Main(), mailbox, TextOf(w["Memo3"]));
  PressCardForward(w);
  Expect(WaitFor([&] { return capture.Exists(); }, 3000), "the capture library received the card");
  const std::string found = capture.Text();
  Expect(found == expected, "the card as mailed " + Difference(expected, found));

  // Back to the card and forward again: a second mail, again with the one recipient.
  capture.Clear();
  w.Go("Indietro", "Meil");
  PressCardForward(w);
  Expect(WaitFor([&] { return capture.Exists(); }, 3000), "the second press mails the card again");
  const std::string again = capture.Text();
  Expect(again == expected, "the card mailed again " + Difference(expected, again));
}

void CardMailBeside(const std::string& exe, const std::string& library) {
  const std::string folder = TempFolder() + "lumi-e2e-beside";
  RemoveTree(folder);
  Expect(CreateDirectoryA(folder.c_str(), nullptr) != FALSE, "can make " + folder);
  const std::string copy = folder + "\\LumideskSetup.exe";
  Expect(CopyFileA(WindowsPath(exe).c_str(), copy.c_str(), FALSE) != FALSE,
         "the installer can be copied to " + folder);
  Expect(CopyFileA(WindowsPath(library).c_str(), (folder + "\\MAPI32.DLL").c_str(), FALSE) != FALSE,
         "the capture library can be put beside the copy");
  {
    SystemMapi none("");
    MessagingFlag installed("1");
    Capture capture;
    ExpectNoMailLoaded(copy, capture);
  }
  RemoveTree(folder);
}

void CardWithoutMapi(const std::string& exe, const std::string& library) {
  SystemMapi placed(library);
  MessagingFlag notInstalled("0");
  Capture capture;
  ExpectNoMailLoaded(exe, capture);
}

void FlashViewer(const std::string& exe) {
  const std::string system = SystemFolder();
  const std::string macromed = system + "\\MACROMED";
  const std::string flash = macromed + "\\FLASH";
  const std::string control = flash + "\\SWFLASH.OCX";
  Expect(!FileExists(system + "\\SWFLASH.OCX"), "the system folder itself holds no SWFLASH.OCX");
  RemoveTree(macromed);
  // The prefix keeps no viewer after the run, whatever its outcome.
  struct Cleanup {
    std::string control, flash, macromed;
    ~Cleanup() {
      DeleteFileA(control.c_str());
      RemoveDirectoryA(flash.c_str());
      RemoveDirectoryA(macromed.c_str());
    }
  } cleanup{control, flash, macromed};

  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  ExpectOnline(w);
  w.Go("Button2", "Meil");
  auto expectPanel = [&](bool shown, const std::string& when) {
    Expect(Showing(w["Panel10"]) == shown,
           std::string("Panel10 is ") + (shown ? "shown" : "hidden") + " " + when);
  };
  PassCard(w);
  expectPanel(true, "without SWFLASH.OCX");

  CreateDirectoryA(macromed.c_str(), nullptr);
  CreateDirectoryA(flash.c_str(), nullptr);
  HANDLE h = CreateFileA(control.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  Expect(h != INVALID_HANDLE_VALUE, "can write " + control);
  CloseHandle(h);
  w.Go("Indietro", "Meil");
  PressCardForward(w);
  expectPanel(false, "with " + control);

  DeleteFileA(control.c_str());
  w.Go("Indietro", "Meil");
  PressCardForward(w);
  expectPanel(true, "once SWFLASH.OCX is gone again");
}

}  // namespace driver
