// The wizard's controls, pages and card as the scenarios use them.
#include "Wizard.h"

#include <cstdio>

namespace driver {

const char kTitle[] = "Installazione di Lumidesk Vers.3.0.0.3";
const char kDefaultFolder[] = "c:\\programmi\\nortavia\\Lumidesk";
const Card kCard{};

namespace {
const char kRemoteAccessKey[] = "System\\CurrentControlSet\\Services\\RemoteAccess";
const char kOnline[] = "Connessione attiva";
}  // namespace

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

void Wizard::Text(const char* name, const std::string& expected) {
  ExpectText((*this)[name], expected, name);
}

void Wizard::Button(const char* name, const std::string& caption, bool enabled) {
  HWND b = (*this)[name];
  ExpectText(b, caption, name);
  Expect(Showing(b), std::string(name) + " is visible");
  Expect(WaitFor([&] { return (IsWindowEnabled(b) != FALSE) == enabled; }, 3000),
         std::string(name) + (enabled ? " is enabled" : " is disabled") + " (status bar: \"" +
             TextOf((*this)["StatusBar1"]) + "\")");
}

void Wizard::Go(const char* button, const char* page) {
  Click((*this)[button], button);
  ExpectPage(page);
}

void Wizard::ExpectPage(const char* page) {
  static const char* const kPages[] = {"Default", "Meil", "due", "Tre", "erwe", "Quattro"};
  const bool shown = WaitFor([&] {
    for (const char* p : kPages)
      if ((IsWindowVisible((*this)[p]) != FALSE) != (std::string(p) == page)) return false;
    return true;
  });
  Expect(shown, std::string("page ") + page + " shows alone");
}

bool Wizard::Checked(const char* name) {
  return SendMessageA((*this)[name], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void ExpectOnline(Wizard& w) {
  Expect(WaitFor([&] { return TextOf(w["StatusBar1"]) == kOnline; }, 8000),
         "the status bar says online (found \"" + TextOf(w["StatusBar1"]) + "\")");
}

void FillCard(Wizard& w) {
  Type(w["Edit1"], kCard.surname);
  Type(w["Edit2"], kCard.name);
  Type(w["Edit7"], kCard.address);
  Type(w["Edit3"], kCard.city);
  Type(w["Edit4"], kCard.province);
  Type(w["Edit5"], kCard.age);
  Type(w["Edit6"], kCard.phone);
  if (!w.Checked("CheckBox1")) Click(w["CheckBox1"], "CheckBox1");
  Expect(WaitFor([&] { return w.Checked("CheckBox1"); }), "Maschio is checked");
}

void PressCardForward(Wizard& w) {
  Click(w["Button12"], "Button12");
  WaitFor([&] {
    if (HWND box = w.App().WaitForMessageBox(200)) {
      std::printf("box: %s\n", TextOf(GetDlgItem(box, 0xFFFF)).c_str());
      if (HWND ok = GetDlgItem(box, IDOK)) PostMessageA(ok, BM_CLICK, 0, 0);
      WaitFor([&] { return !IsWindow(box); }, 3000);
    }
    return Showing(w["due"]);
  }, 15000);
  w.ExpectPage("due");
}

void PassCard(Wizard& w) {
  FillCard(w);
  PressCardForward(w);
}

std::string AnswerBox(Installer& app, int timeoutMs, const std::string& what) {
  HWND box = app.WaitForMessageBox(timeoutMs);
  Expect(box != nullptr, what + " shows a message box");
  const std::string text = TextOf(GetDlgItem(box, 0xFFFF));
  Click(GetDlgItem(box, IDOK), "the box's OK");
  Expect(WaitFor([&] { return !IsWindow(box); }, 5000), "the box closes");
  return text;
}

void CloseWith(Wizard& w, const char* button) {
  Click(w[button], button);
  for (int i = 0; i < 5; ++i) {
    HWND box = w.App().WaitForMessageBox(1500);
    if (!box) break;
    std::printf("box: %s\n", TextOf(GetDlgItem(box, 0xFFFF)).c_str());
    HWND answer = GetDlgItem(box, IDOK);
    if (!answer) answer = GetDlgItem(box, IDYES);
    if (answer) PostMessageA(answer, BM_CLICK, 0, 0);
    WaitFor([&] { return !IsWindow(box); }, 3000);
  }
  w.App().WaitForExit();
}

}  // namespace driver
