// lumi-driver: walks the installer's wizard through its real windows under Wine.
//   lumi-driver walk SETUP.EXE [SHOT_FOLDER]   every page's texts and buttons, navigation
//                                              forward and back, the folder chooser; with a
//                                              folder, a screenshot of every page and of the
//                                              chooser
//   lumi-driver uninstall SETUP.EXE on|off      the uninstall button with and without the
//                                              install record
//   lumi-driver install SETUP.EXE DIR [SHOTS]   a whole installation into DIR
//   lumi-driver gating SETUP.EXE                offline gating, then online through a remote
//                                              connection (run it without a network)
// Exit code 0 when every expectation held; otherwise the first failure is printed.
#include <cstdio>
#include <string>

#include "Driver.h"

namespace {

using driver::Click;
using driver::Expect;
using driver::ExpectText;
using driver::Installer;
using driver::Snapshot;
using driver::TextOf;
using driver::WaitFor;

const char kTitle[] = "Installazione di Lumidesk Vers.3.0.0.3";
const char kRecordKey[] = "SOFTWARE\\NORTAVIA\\Zentaro";
const char kRemoteAccessKey[] = "System\\CurrentControlSet\\Services\\RemoteAccess";

// The online state under test: an active remote connection makes the detector report online
// whatever the network of the machine running the test.
void ForceOnline() {
  HKEY key;
  Expect(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRemoteAccessKey, 0, nullptr, 0, KEY_SET_VALUE,
                         nullptr, &key, nullptr) == ERROR_SUCCESS,
         "can write the remote connection value");
  const BYTE active[4] = {1, 0, 0, 0};
  RegSetValueExA(key, "Remote Connection", 0, REG_BINARY, active, sizeof active);
  RegCloseKey(key);
}

void ClearRemoteConnection() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRemoteAccessKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return;
  RegDeleteValueA(key, "Remote Connection");
  RegCloseKey(key);
}

void SetInstallRecord(bool present) {
  if (present) {
    HKEY key;
    Expect(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRecordKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                           &key, nullptr) == ERROR_SUCCESS,
           "can write the install record");
    RegCloseKey(key);
  } else {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kRecordKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRecordKey);
  }
}

class Wizard {
 public:
  explicit Wizard(Installer& app) : app_(app), main_(app.Main()) {}
  HWND operator[](const char* name) const { return app_.Control(main_, name); }
  void Text(const char* name, const std::string& expected) {
    ExpectText((*this)[name], expected, name);
  }
  void Button(const char* name, const std::string& caption, bool enabled = true) {
    HWND b = (*this)[name];
    ExpectText(b, caption, name);
    Expect(driver::Showing(b), std::string(name) + " is visible");
    Expect(WaitFor([&] { return (IsWindowEnabled(b) != FALSE) == enabled; }, 3000),
           std::string(name) + (enabled ? " is enabled" : " is disabled") + " (status bar: \"" +
               TextOf((*this)["StatusBar1"]) + "\")");
  }
  // Clicks and waits until the page is the only one showing.
  void Go(const char* button, const char* page) {
    Click((*this)[button], button);
    ExpectPage(page);
  }
  void ExpectPage(const char* page) {
    static const char* const kPages[] = {"Default", "Meil", "due", "Tre", "erwe", "Quattro"};
    const bool shown = WaitFor([&] {
      for (const char* p : kPages)
        if ((IsWindowVisible((*this)[p]) != FALSE) != (std::string(p) == page)) return false;
      return true;
    });
    Expect(shown, std::string("page ") + page + " shows alone");
  }

 private:
  Installer& app_;
  HWND main_;
};

// Fills the card's required fields and passes it with "&Avanti>>" to the folder page. The card
// goes to whatever mail client the prefix has; a box that client shows is answered.
void PassCard(Installer& app, Wizard& w) {
  for (const char* edit : {"Edit1", "Edit2", "Edit7", "Edit3", "Edit4", "Edit5"})
    driver::Type(w[edit], "e2e");
  Click(w["Button12"], "Button12");
  WaitFor([&] {
    if (HWND box = app.WaitForMessageBox(200)) {
      std::printf("box: %s\n", TextOf(GetDlgItem(box, 0xFFFF)).c_str());
      if (HWND ok = GetDlgItem(box, IDOK)) PostMessageA(ok, BM_CLICK, 0, 0);
      WaitFor([&] { return !IsWindow(box); }, 3000);
    }
    return driver::Showing(w["due"]);
  }, 15000);
  w.ExpectPage("due");
}

// Closes the installer with its close button, answering any box its closing shows.
void CloseWith(Installer& app, Wizard& w, const char* button) {
  Click(w[button], button);
  for (int i = 0; i < 5; ++i) {
    HWND box = app.WaitForMessageBox(1500);
    if (!box) break;
    std::printf("box: %s\n", TextOf(GetDlgItem(box, 0xFFFF)).c_str());
    HWND answer = GetDlgItem(box, IDOK);
    if (!answer) answer = GetDlgItem(box, IDYES);
    if (answer) PostMessageA(answer, BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(box); }, 3000);
  }
  app.WaitForExit();
}

void Walk(const std::string& exe) {
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  ExpectText(app.Main(), kTitle, "caption");

  // Page 0; the first tick of the detector comes a second after start.
  w.ExpectPage("Default");
  Expect(WaitFor([&] { return TextOf(w["StatusBar1"]) == "Connessione attiva"; }, 8000),
         "the status bar says online (found \"" + TextOf(w["StatusBar1"]) + "\")");
  w.Text("Label32", "Programma di installazione di Lumidesk");
  w.Text("Label2", "Lumidesk");
  w.Text("Label3", "Premere avanti per procedere con l'installazione");
  w.Button("Button3", "&Chiudi");
  w.Button("Button2", "&Avanti>>");
  ExpectText(w["Button14"], "Disinstalla Lumidesk", "Button14");
  Snapshot("page0-welcome");

  // Page 1 and back to 0 (its back button carries Tag 0).
  w.Go("Button2", "Meil");
  w.Text("Label6", "Scheda Statistica Lumidesk - I dati della scheda verranno inoltrati con il "
                   "programma di posta predefinito");
  w.Text("Label7", "Cognome");
  w.Text("Label10", "Citt\xE0");
  w.Text("Label12", "Et\xE0");
  w.Text("Label13", "Telefono cellulare (*Opzionale)");
  w.Text("GroupBox1", "Sesso");
  w.Text("CheckBox1", "Maschio");
  w.Text("CheckBox2", "Femmina");
  w.Text("Label15", "Leggere con attenzione:");
  w.Text("Label16", "Informativa privacy ");
  w.Text("RadioButton1", "Accetto");
  w.Text("RadioButton2", "non accetto");
  Expect(SendMessageA(w["RadioButton1"], BM_GETCHECK, 0, 0) == BST_CHECKED,
         "Accetto is selected at start");
  w.Button("Button13", "&Indietro");
  w.Button("Button12", "&Avanti>>");
  Snapshot("page1-card");
  w.Go("Button13", "Default");
  w.Go("Button2", "Meil");

  // Page 2 and the folder chooser.
  PassCard(app, w);
  w.Text("sds", "Directory di destinazione");
  w.Text("LabelDir", "c:\\programmi\\nortavia\\Lumidesk");
  w.Text("Label30", "Per installare nelle Directory premere Avanti");
  w.Text("Label31", "Per cambiare Directory premere Cambia");
  w.Button("Button5", "Cambia");
  w.Button("Indietro", "<<&Indietro");
  w.Button("Button4", "&Avanti>>");
  Snapshot("page2-folder");
  Click(w["Button5"], "Button5");
  HWND chooser = app.WaitForForm("Form2");
  Expect(WaitFor([&] { return IsWindowEnabled(app.Main()) == FALSE; }),
         "the wizard is disabled while the chooser is open");
  ExpectText(app.Control(chooser, "Edit1"), "c:\\programmi\\nortavia\\Lumidesk", "chooser Edit1");
  ExpectText(app.Control(chooser, "Button1"), "Conferma", "chooser Button1");
  ExpectText(app.Control(chooser, "Button2"), "Annulla", "chooser Button2");
  Snapshot("chooser");
  driver::Type(app.Control(chooser, "Edit1"), "c:\\lumi\\prova");
  Click(app.Control(chooser, "Button1"), "Conferma");
  Expect(WaitFor([&] { return TextOf(w["LabelDir"]) == "c:\\lumi\\prova"; }),
         "LabelDir takes the chosen folder (found \"" + TextOf(w["LabelDir"]) + "\")");
  Expect(WaitFor([&] { return IsWindowEnabled(app.Main()) != FALSE; }),
         "the wizard is enabled again after the chooser");

  // Page 3.
  w.Go("Button4", "Tre");
  w.Text("Label22", "Leggere il seguente accordo di licenza. Premere il tasto PAG-GIU' per "
                    "visualizzare la parte restante dell'accordo");
  Expect(TextOf(w["Memo1"]).size() > 100, "the licence text is shown");
  w.Button("Button8", "NO");
  w.Button("Button7", "<<&Indietro");
  w.Button("Button6", "Si");
  Snapshot("page3-licence");

  // Page 4.
  w.Go("Button6", "erwe");
  w.Text("Label24", "Informazioni");
  Expect(TextOf(w["Memo2"]).size() > 100, "the information text is shown");
  w.Button("Button11", "<<&Indietro");
  w.Button("Button1", "Avanti >>");
  Snapshot("page4-information");
  w.Go("Button11", "Tre");
  w.Go("Button6", "erwe");

  // Page 5; its back button returns to the licence page.
  w.Go("Button1", "Quattro");
  w.Text("Label25", "Complimenti per la vostra scelta.");
  w.Text("Label27", "Il programma verr\xE0 installato sul vostro computer in pochi secondi");
  w.Text("Label28", "Buon lavoro!!!");
  w.Button("Button10", "<<&Indietro");
  ExpectText(w["Button9"], "Installa", "Button9");
  Expect(!IsWindowVisible(w["ProgressBar1"]), "ProgressBar1 is hidden before the run");
  Snapshot("page5-install");
  w.Go("Button10", "Tre");
  w.Go("Button7", "due");
  w.Go("Indietro", "Meil");
  w.Go("Button13", "Default");

  CloseWith(app, w, "Button3");
}

// Without a network the detector's tick reports offline and then, reading the remote connection,
// online again, within one message: a forward button can be seen off for that moment.
bool EnabledWithin(HWND button) {
  return WaitFor([&] { return IsWindowEnabled(button) != FALSE; }, 3000);
}

const char kOnline[] = "Connessione attiva";
const char kOffline[] = "Per installare il programma dovete essere connessi a internet!";

// Run without a network (a namespace with no interfaces), where only the remote connection
// value makes the detector see the machine online: online at start through the value, offline
// once it goes (the detector then asks the network), online again when it comes back.
void Gating(const std::string& exe) {
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  auto expectStatus = [&](const char* text) {
    Expect(WaitFor([&] { return TextOf(w["StatusBar1"]) == text; }, 8000),
           std::string("the status bar says \"") + text + "\" (found \"" + TextOf(w["StatusBar1"]) +
               "\")");
  };
  const char* const gatedButtons[] = {"Button2", "Button4", "Button1", "Button9"};
  expectStatus(kOnline);
  for (const char* gated : gatedButtons)
    Expect(EnabledWithin(w[gated]), std::string(gated) + " is enabled online");

  ClearRemoteConnection();
  expectStatus(kOffline);
  for (const char* gated : gatedButtons)
    Expect(IsWindowEnabled(w[gated]) == FALSE, std::string(gated) + " is disabled offline");
  for (const char* free : {"Button3", "Button13", "Button12", "Indietro", "Button5", "Button8",
                           "Button7", "Button6", "Button11", "Button10"})
    Expect(IsWindowEnabled(w[free]) != FALSE, std::string(free) + " stays enabled offline");
  Snapshot("offline");

  ForceOnline();
  expectStatus(kOnline);
  for (const char* gated : gatedButtons)
    Expect(EnabledWithin(w[gated]), std::string(gated) + " is enabled again");
}

// The installation run: forward to the last page, "Installa", the progress bar while files are
// written, the closing box, and the product's program in the destination folder.
void Install(const std::string& exe, const std::string& destination) {
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  Expect(WaitFor([&] { return TextOf(w["StatusBar1"]) == kOnline; }, 8000), "online");
  w.Go("Button2", "Meil");
  PassCard(app, w);
  Click(w["Button5"], "Button5");
  HWND chooser = app.WaitForForm("Form2");
  driver::Type(app.Control(chooser, "Edit1"), destination);
  Click(app.Control(chooser, "Button1"), "Conferma");
  Expect(WaitFor([&] { return TextOf(w["LabelDir"]) == destination; }), "destination chosen");
  w.Go("Button4", "Tre");
  w.Go("Button6", "erwe");
  w.Go("Button1", "Quattro");
  Click(w["Button9"], "Installa");
  Expect(WaitFor([&] { return driver::Showing(w["ProgressBar1"]); }, 5000),
         "the progress bar shows during the run");
  HWND box = app.WaitForMessageBox(60000);
  Expect(box != nullptr, "a box ends the run");
  Snapshot("installed");
  ExpectText(box, "Installazione conclusa con successo", "title of the closing box");
  ExpectText(GetDlgItem(box, 0xFFFF), "Lanciare il programma dall'icona sul desktop",
             "text of the closing box");
  PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  app.WaitForExit(30000);
  const std::string program = destination + "\\lumidesk.exe";
  Expect(GetFileAttributesA(program.c_str()) != INVALID_FILE_ATTRIBUTES, program + " exists");
}

void Uninstall(const std::string& exe, bool recordPresent) {
  SetInstallRecord(recordPresent);
  Installer app(exe, kTitle);
  Wizard w(app);
  HWND button = w["Button14"];
  Expect((IsWindowEnabled(button) != FALSE) == recordPresent,
         recordPresent ? "Button14 is enabled with the install record"
                       : "Button14 is disabled without the install record");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string usage =
      "usage: lumi-driver walk SETUP.EXE [SHOT_FOLDER] | uninstall SETUP.EXE on|off |\n"
      "       gating SETUP.EXE | install SETUP.EXE DIR [SHOT_FOLDER]\n";
  if (argc < 3) {
    std::fputs(usage.c_str(), stderr);
    return 2;
  }
  const std::string command = argv[1];
  const std::string exe = argv[2];
  try {
    if (command == "walk") {
      if (argc > 3) driver::SetShotFolder(argv[3]);
      Walk(exe);
    } else if (command == "install" && argc > 3) {
      if (argc > 4) driver::SetShotFolder(argv[4]);
      Install(exe, argv[3]);
    } else if (command == "gating") {
      Gating(exe);
    } else if (command == "uninstall" && argc > 3) {
      Uninstall(exe, std::string(argv[3]) == "on");
    } else {
      std::fputs(usage.c_str(), stderr);
      return 2;
    }
  } catch (const driver::Failure& f) {
    std::fprintf(stderr, "FAILED: %s\n", f.message.c_str());
    return 1;
  }
  std::printf("passed: %s\n", command.c_str());
  return 0;
}
