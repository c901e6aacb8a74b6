// lumi-driver: walks the installer's wizard through its real windows under Wine.
//   walk SETUP.EXE [SHOT_FOLDER]     every page's texts and buttons, navigation forward and
//                                    back, the folder chooser, "Installa" refusing an empty
//                                    destination; with a folder, a screenshot of every page
//                                    and of the chooser
//   uninstall SETUP.EXE on|off       the uninstall button with and without the install record
//   install SETUP.EXE DIR [SHOTS] [--payload LIST STAGE]
//                                    a whole installation into DIR (chosen through "Cambia"
//                                    unless it is the default folder); with the payload's
//                                    list, from a clean start, and then the files with their
//                                    dates, the three links and the install record
//   uninstall SETUP.EXE DIR --payload LIST STAGE
//                                    the next start after that installation: the card
//                                    pre-filled, "Disinstalla Lumidesk" and what it removes
//   gating SETUP.EXE                 offline gating, then online through a remote connection
//                                    (run it without a network)
//   planted SETUP.EXE DIR --payload LIST STAGE
//                                    every step of a user in one run: the walk (the card
//                                    sent, the chooser), the installation into DIR and its
//                                    uninstall; run from a folder of planted DLLs
//                                    (planted-dlls.sh checks what was loaded)
//   full-drive SETUP.EXE DIR --payload LIST STAGE
//                                    over an earlier installation of other files in DIR, on a
//                                    drive that runs out of room midway (full-drive.sh makes
//                                    it): the run fails and says its changes were undone, and
//                                    the earlier installation is there byte for byte, with its
//                                    links and record; no temporary file or journal is left
//   damaged SETUP.EXE DIR            a damaged installer: "Installa" disabled online, the
//                                    status bar says so, nothing written into DIR or elsewhere
//   card-mail, card-mail-beside, card-no-mapi, flash
//                                    the statistics card's mail and Flash viewer check
//                                    (Card.h)
// Exit code 0 when every expectation held; otherwise the first failure is printed.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Card.h"
#include "Driver.h"
#include "Installed.h"
#include "Wizard.h"

namespace {

using driver::Click;
using driver::CloseWith;
using driver::Expect;
using driver::ExpectText;
using driver::ForceOnline;
using driver::Installer;
using driver::kCard;
using driver::kDefaultFolder;
using driver::kTitle;
using driver::ProductLinks;
using driver::Snapshot;
using driver::TextOf;
using driver::WaitFor;
using driver::Wizard;

void Walk(const std::string& exe) {
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  ExpectText(app.Main(), kTitle, "caption");

  // Page 0; the first tick of the detector comes a second after start.
  w.ExpectPage("Default");
  driver::ExpectOnline(w);
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
  driver::PassCard(w);
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
  // An empty destination: the chooser takes it; "Installa" refuses it (page 5 below).
  Click(w["Button5"], "Button5");
  chooser = app.WaitForForm("Form2");
  driver::Type(app.Control(chooser, "Edit1"), "");
  Click(app.Control(chooser, "Button1"), "Conferma");
  Expect(WaitFor([&] { return TextOf(w["LabelDir"]).empty(); }),
         "LabelDir takes an empty text (found \"" + TextOf(w["LabelDir"]) + "\")");

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
  // Empty, the destination would be the current drive's root: refused before any folder is
  // made there, with a stop box that says what to do.
  const bool templatesBefore = driver::FolderExists("\\Modelli");
  Click(w["Button9"], "Installa");
  const std::string refusal = driver::AnswerBox(app, 10000, "an empty destination");
  Expect(refusal == "La cartella di destinazione manca o non \xE8 un percorso completo. "
                    "Scegliere con il pulsante Cambia una cartella di destinazione completa, "
                    "per esempio c:\\programmi\\nortavia\\Lumidesk",
         "the refusal says what to do (found \"" + refusal + "\")");
  Expect(templatesBefore || !driver::FolderExists("\\Modelli"),
         "no Modelli folder is made at the root of the current drive");
  Expect(!IsWindowVisible(w["ProgressBar1"]), "ProgressBar1 stays hidden after the refusal");
  w.Go("Button10", "Tre");
  w.Go("Button7", "due");
  w.Go("Indietro", "Meil");
  w.Go("Button13", "Default");

  CloseWith(w, "Button3");
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

  driver::ClearRemoteConnection();
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

// The static controls of the demo's Lumidesk.exe (demo/Lumidesk.cpp).
constexpr int kProductMessageId = 100;
constexpr int kProductFolderId = 102;

// A payload the installer carries, when the scenario checks the installed files: its list and
// the folder where its members were staged with their dates before packing.
struct Payload {
  std::vector<driver::PayloadFile> files;
  std::string stage;
};

// The installation run: forward to the last page (through "Cambia" unless the destination is
// the default folder), "Installa", the progress bar while files are written, the closing box.
// With a payload list, every trace of an earlier installation is cleared first, and afterwards
// the files, the three links and the install record are checked.
// Forward from the welcome page to the installation page: the card, the destination (chosen
// through "Cambia" unless it is the default folder), the licence and the information page.
void ToInstallPage(Installer& app, Wizard& w, const std::string& destination) {
  w.Go("Button2", "Meil");
  driver::PassCard(w);
  if (destination != kDefaultFolder) {
    Click(w["Button5"], "Button5");
    HWND chooser = app.WaitForForm("Form2");
    driver::Type(app.Control(chooser, "Edit1"), destination);
    Click(app.Control(chooser, "Button1"), "Conferma");
  }
  Expect(WaitFor([&] { return TextOf(w["LabelDir"]) == destination; }),
         "the destination is " + destination + " (found \"" + TextOf(w["LabelDir"]) + "\")");
  w.Go("Button4", "Tre");
  w.Go("Button6", "erwe");
  w.Go("Button1", "Quattro");
}

void Install(const std::string& exe, const std::string& destination, const Payload* payload) {
  const ProductLinks links = driver::ProductLinkPaths();
  if (payload) {
    driver::DeleteRecord();
    driver::RemoveProductLinks();
    driver::RemoveTree(destination);
    driver::RemoveTree(kDefaultFolder);
  }
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  driver::ExpectOnline(w);
  ToInstallPage(app, w, destination);
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
  Expect(driver::FileExists(program), program + " exists");
  if (!payload) return;

  driver::ExpectInstalledFiles(destination, payload->files, payload->stage);
  if (destination != kDefaultFolder)
    Expect(!driver::FolderExists(kDefaultFolder), std::string(kDefaultFolder) + " stays unused");

  // The links start the installed program; the menus' ones are described by its name.
  const std::string target = destination + "\\Lumidesk.exe";
  const struct {
    const std::string& path;
    const char* description;
  } expectedLinks[] = {{links.startMenu, "Lumidesk.exe"},
                       {links.programs, "Lumidesk.exe"},
                       {links.desktop, "Falc@ro"}};
  for (const auto& l : expectedLinks) {
    driver::Link link;
    Expect(driver::ReadLink(l.path, link), l.path + " is a shell link");
    Expect(link.target == target, l.path + " starts " + target + " (found " + link.target + ")");
    Expect(link.description == l.description, l.path + " is described \"" + l.description +
                                                  "\" (found \"" + link.description + "\")");
  }

  // What the closing box tells the user: the program starts from the desktop link.
  driver::Link desktop;
  driver::ReadLink(links.desktop, desktop);
  {
    Installer product(desktop.target, "Lumidesk");
    ExpectText(GetDlgItem(product.Main(), kProductMessageId),
               "Lumidesk \xE8 installato su questo computer.", "the installed program's message");
    const std::string folder = TextOf(GetDlgItem(product.Main(), kProductFolderId));
    Expect(lstrcmpiA(folder.c_str(), destination.c_str()) == 0,
           "the installed program runs from " + destination + " (it says " + folder + ")");
  }

  std::map<std::string, std::string> record;
  Expect(driver::ReadRecord(record), "the install record exists");
  const std::map<std::string, std::string> expected = {
      {"RootDir", destination + "\\Zentaro.exe"},
      {"version", "3.0.0.3"},
      {"Cognome", kCard.surname},
      {"Nome", kCard.name},
      {"Indirizzo", kCard.address},
      {"Citta", kCard.city},
      {"Prov", kCard.province},
      {"Eta", kCard.age},
      {"Tel", kCard.phone},
      {"Maschio", "True"}};
  for (const auto& v : expected) {
    const auto found = record.find(v.first);
    Expect(found != record.end(), "the install record holds " + v.first);
    Expect(found->second == v.second, "the install record's " + v.first + " is \"" + v.second +
                                          "\" (found \"" + found->second + "\")");
  }
  Expect(record.size() == expected.size(),
         "the install record holds the ten values only (found " + std::to_string(record.size()) +
             ")");
}

// Over an earlier installation, on a drive that fills up midway: the whole run is undone.
void FullDrive(const std::string& exe, const std::string& destination, const Payload& payload) {
  const ProductLinks links = driver::ProductLinkPaths();
  driver::DeleteRecord();
  driver::RemoveProductLinks();
  // The earlier installation: every file of the payload with other bytes and an older date,
  // its links (to the same program, described otherwise) and its record.
  for (const driver::PayloadFile& f : payload.files) {
    const std::string path = destination + "\\" + f.installedAs;
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    Expect(h != INVALID_HANDLE_VALUE, "the earlier installation's " + path + " can be written");
    const std::string old = "versione 2.0 di " + f.installedAs;
    DWORD done = 0;
    WriteFile(h, old.data(), static_cast<DWORD>(old.size()), &done, nullptr);
    const SYSTEMTIME when = {2024, 5, 0, 17, 9, 30, 0, 0};
    FILETIME local, utc;
    SystemTimeToFileTime(&when, &local);
    LocalFileTimeToFileTime(&local, &utc);
    SetFileTime(h, nullptr, nullptr, &utc);
    CloseHandle(h);
  }
  const std::string program = destination + "\\Lumidesk.exe";
  CreateDirectoryA(links.startMenuGroup.c_str(), nullptr);
  CreateDirectoryA(links.programsGroup.c_str(), nullptr);
  for (const std::string& link : {links.startMenu, links.programs, links.desktop})
    driver::WriteLink(link, {program, "versione 2.0"});
  driver::WriteRecord({{"RootDir", destination + "\\Zentaro.exe"}, {"version", "2.0"},
                       {"Cognome", "Rossi"}});
  const auto filesBefore = driver::ReadTree(destination);
  std::map<std::string, std::string> recordBefore;
  driver::ReadRecord(recordBefore);

  ForceOnline();
  {
    Installer app(exe, kTitle);
    Wizard w(app);
    driver::ExpectOnline(w);
    ToInstallPage(app, w, destination);
    Click(w["Button9"], "Installa");
    HWND box = app.WaitForMessageBox(60000);
    Expect(box != nullptr, "a box ends the run");
    ExpectText(box, "Installazione non riuscita", "title of the stop box");
    const std::string told = TextOf(GetDlgItem(box, 0xFFFF));
    Expect(told.find("Le modifiche fatte finora sono state annullate") != std::string::npos,
           "the stop box says the run's changes were undone (found \"" + told + "\")");
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    Expect(WaitFor([&] { return !IsWindow(box); }, 5000), "the stop box closes");
    w.Go("Button10", "Tre");
    CloseWith(w, "Button8");
  }

  const auto filesAfter = driver::ReadTree(destination);
  Expect(filesAfter.size() == filesBefore.size(),
         "the destination holds the earlier installation's files and nothing else (found " +
             std::to_string(filesAfter.size()) + " files, " + std::to_string(filesBefore.size()) +
             " before)");
  for (const auto& f : filesBefore) {
    const auto found = filesAfter.find(f.first);
    Expect(found != filesAfter.end() && found->second == f.second,
           f.first + " is the earlier installation's, byte for byte and with its date");
  }
  for (const std::string& path : {links.startMenu, links.programs, links.desktop}) {
    driver::Link link;
    Expect(driver::ReadLink(path, link) && link.target == program &&
               link.description == "versione 2.0",
           path + " is the earlier installation's link");
  }
  std::map<std::string, std::string> recordAfter;
  Expect(driver::ReadRecord(recordAfter) && recordAfter == recordBefore,
         "the earlier installation's record is unchanged");
  char appData[MAX_PATH] = {0};
  SHGetSpecialFolderPathA(nullptr, appData, CSIDL_COMMON_APPDATA, FALSE);
  const std::string journal = std::string(appData) + "\\NORTAVIA Zentaro installazione.journal";
  Expect(!driver::FileExists(journal), "no journal is left: " + journal);
  driver::DeleteRecord();
  driver::RemoveProductLinks();
}

const char kDamagedStatus[] =
    "Programma di installazione danneggiato o incompleto: procurarsene una nuova copia";

// A damaged installer, started online so that only the damage can hold "Installa" back: it
// stays disabled on the installation page, the status bar says why, and closing leaves nothing
// of the product behind (no destination folder, no links, no install record).
void Damaged(const std::string& exe, const std::string& destination) {
  const ProductLinks links = driver::ProductLinkPaths();
  driver::DeleteRecord();
  driver::RemoveProductLinks();
  driver::RemoveTree(destination);
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  Expect(WaitFor([&] { return TextOf(w["StatusBar1"]) == kDamagedStatus; }, 8000),
         "the status bar says the installer is damaged (found \"" + TextOf(w["StatusBar1"]) +
             "\")");
  Expect(WaitFor([&] { return IsWindowEnabled(w["Button2"]) != FALSE; }, 8000),
         "the wizard is online: Button2 is enabled");
  ToInstallPage(app, w, destination);
  Expect(IsWindowVisible(w["Button9"]) != FALSE, "Installa is shown");
  Expect(IsWindowEnabled(w["Button9"]) == FALSE, "Installa is disabled");
  ExpectText(w["StatusBar1"], kDamagedStatus, "the status bar on the installation page");
  w.Go("Button10", "Tre");
  CloseWith(w, "Button8");
  Expect(!driver::FolderExists(destination), destination + " was not made");
  for (const std::string& link : {links.startMenu, links.programs, links.desktop})
    Expect(!driver::FileExists(link), link + " was not made");
  std::map<std::string, std::string> record;
  Expect(!driver::ReadRecord(record), "no install record was written");
}

void SetInstallRecord(bool present) {
  if (present) {
    driver::WriteRecord({});
  } else {
    driver::DeleteRecord();
  }
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

// The next start after an installation into destination: the card shows what was recorded,
// and "Disinstalla Lumidesk" removes the links, the program and the record (the templates and
// the other files stay), and closing afterwards records nothing.
void UninstallInstalled(const std::string& exe, const std::string& destination,
                        const Payload& payload) {
  const ProductLinks links = driver::ProductLinkPaths();
  Expect(driver::FileExists(destination + "\\Lumidesk.exe"),
         "an installation into " + destination + " is there to remove");
  // Online from the start, so that no change of the detector's state re-enables Button2
  // while the uninstall's message is open.
  ForceOnline();
  Installer app(exe, kTitle);
  Wizard w(app);
  w.ExpectPage("Default");
  driver::ExpectOnline(w);
  const struct {
    const char* edit;
    const char* text;
  } prefilled[] = {{"Edit1", kCard.surname}, {"Edit2", kCard.name},     {"Edit7", kCard.address},
                   {"Edit3", kCard.city},    {"Edit4", kCard.province}, {"Edit5", kCard.age},
                   {"Edit6", kCard.phone}};
  for (const auto& p : prefilled) w.Text(p.edit, p.text);
  Expect(w.Checked("CheckBox1"), "Maschio is checked as recorded");
  Expect(!w.Checked("CheckBox2"), "Femmina is left unchecked");
  w.Button("Button14", "Disinstalla Lumidesk");

  Click(w["Button14"], "Button14");
  HWND box = app.WaitForMessageBox(15000);
  Expect(box != nullptr, "the uninstall ends with a message");
  ExpectText(GetDlgItem(box, 0xFFFF), "Zentaro \xE8 stato disinstallato", "the uninstall message");
  Expect(IsWindowEnabled(w["Button2"]) == FALSE, "Button2 is disabled until the message is read");
  const LRESULT position = SendMessageA(w["ProgressBar2"], PBM_GETPOS, 0, 0);
  Expect(position == 10, "ProgressBar2 stands at 10 (found " + std::to_string(position) + ")");
  Click(GetDlgItem(box, IDOK), "the message's OK");
  Expect(WaitFor([&] { return IsWindowEnabled(w["Button2"]) != FALSE; }, 3000),
         "Button2 is enabled again");

  for (const std::string& gone : {links.startMenu, links.programs, links.desktop,
                                  destination + "\\Lumidesk.exe"})
    Expect(!driver::FileExists(gone), gone + " is removed");
  for (const std::string& group : {links.startMenuGroup, links.programsGroup})
    Expect(!driver::FolderExists(group), "the empty group folder " + group + " is removed");
  for (const driver::PayloadFile& f : payload.files) {
    if (f.installedAs == "Lumidesk.exe") continue;
    const std::string kept = destination + "\\" + f.installedAs;
    Expect(driver::FileExists(kept), kept + " stays");
  }
  std::map<std::string, std::string> record;
  Expect(!driver::ReadRecord(record), "the install record is removed");

  CloseWith(w, "Button3");
  Expect(!driver::ReadRecord(record), "closing after the uninstall records nothing");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string usage =
      "usage: lumi-driver walk SETUP.EXE [SHOT_FOLDER]\n"
      "       lumi-driver uninstall SETUP.EXE on|off\n"
      "       lumi-driver uninstall SETUP.EXE DIR --payload LIST STAGE\n"
      "       lumi-driver gating SETUP.EXE\n"
      "       lumi-driver damaged SETUP.EXE DIR\n"
      "       lumi-driver install SETUP.EXE DIR [SHOT_FOLDER] [--payload LIST STAGE]\n"
      "       lumi-driver planted SETUP.EXE DIR --payload LIST STAGE\n"
      "       lumi-driver card-mail SETUP.EXE MAILBOX MAPI32.DLL\n"
      "       lumi-driver card-mail-beside SETUP.EXE MAPI32.DLL\n"
      "       lumi-driver card-no-mapi SETUP.EXE MAPI32.DLL\n"
      "       lumi-driver flash SETUP.EXE\n";
  // "--payload LIST STAGE" may come anywhere after the command.
  std::vector<std::string> args;
  std::unique_ptr<Payload> payload;
  try {
    for (int i = 1; i < argc; ++i) {
      if (std::string(argv[i]) == "--payload" && i + 2 < argc) {
        payload.reset(new Payload{driver::ReadPayloadList(argv[i + 1]), argv[i + 2]});
        i += 2;
      } else {
        args.push_back(argv[i]);
      }
    }
    if (args.size() < 2) {
      std::fputs(usage.c_str(), stderr);
      return 2;
    }
    const std::string command = args[0];
    const std::string exe = args[1];
    if (command == "walk") {
      if (args.size() > 2) driver::SetShotFolder(args[2]);
      Walk(exe);
    } else if (command == "install" && args.size() > 2) {
      if (args.size() > 3) driver::SetShotFolder(args[3]);
      Install(exe, args[2], payload.get());
    } else if (command == "planted" && args.size() > 2 && payload) {
      Walk(exe);
      Install(exe, args[2], payload.get());
      UninstallInstalled(exe, args[2], *payload);
    } else if (command == "gating") {
      Gating(exe);
    } else if (command == "full-drive" && args.size() > 2 && payload) {
      FullDrive(args[1], args[2], *payload);
    } else if (command == "damaged" && args.size() > 2) {
      Damaged(exe, args[2]);
    } else if (command == "uninstall" && args.size() > 2 && payload) {
      UninstallInstalled(exe, args[2], *payload);
    } else if (command == "uninstall" && args.size() > 2) {
      Uninstall(exe, args[2] == "on");
    } else if (command == "card-mail" && args.size() > 3) {
      driver::CardMail(exe, args[2], args[3]);
    } else if (command == "card-mail-beside" && args.size() > 2) {
      driver::CardMailBeside(exe, args[2]);
    } else if (command == "card-no-mapi" && args.size() > 2) {
      driver::CardWithoutMapi(exe, args[2]);
    } else if (command == "flash") {
      driver::FlashViewer(exe);
    } else {
      std::fputs(usage.c_str(), stderr);
      return 2;
    }
    std::printf("passed: %s\n", command.c_str());
  } catch (const driver::Failure& f) {
    std::fprintf(stderr, "FAILED: %s\n", f.message.c_str());
    return 1;
  }
  return 0;
}
