// The installer's wizard window as the scenarios see it: controls by name, pages, the card a
// test user fills in, and the registry switches the scenarios set before starting it.
#pragma once

#include <string>

#include "Driver.h"

namespace driver {

extern const char kTitle[];
extern const char kDefaultFolder[];

// What the test user types on the statistics card, with "Maschio" checked. The city carries
// a Windows-1252 letter to show that the texts travel as single bytes.
struct Card {
  const char* surname = "Rossi";      // Edit1
  const char* name = "Mario";         // Edit2
  const char* address = "Via Roma 1"; // Edit7
  const char* city = "Forl\xEC";      // Edit3
  const char* province = "FC";        // Edit4
  const char* age = "42";             // Edit5
  const char* phone = "333 1234567";  // Edit6
};
extern const Card kCard;

// An active remote connection makes the detector report online whatever the network of the
// machine running the test.
void ForceOnline();
void ClearRemoteConnection();

class Wizard {
 public:
  explicit Wizard(Installer& app) : app_(app), main_(app.Main()) {}
  HWND operator[](const char* name) const { return app_.Control(main_, name); }
  Installer& App() const { return app_; }
  void Text(const char* name, const std::string& expected);
  void Button(const char* name, const std::string& caption, bool enabled = true);
  // Clicks and waits until the page is the only one showing.
  void Go(const char* button, const char* page);
  void ExpectPage(const char* page);
  bool Checked(const char* name);

 private:
  Installer& app_;
  HWND main_;
};

// Waits for the status bar to say online.
void ExpectOnline(Wizard& w);
// Types kCard into the card's fields and checks "Maschio" as a user would, by clicking it.
void FillCard(Wizard& w);
// Presses the card's "&Avanti>>" and waits for the folder page, answering any box that the
// prefix's mail client shows on the way.
void PressCardForward(Wizard& w);
// FillCard, then PressCardForward.
void PassCard(Wizard& w);
// Answers a message box the installer shows within the timeout; its text, or a failure.
std::string AnswerBox(Installer& app, int timeoutMs, const std::string& what);
// Closes the installer with its close button, answering any box its closing shows.
void CloseWith(Wizard& w, const char* button);

}  // namespace driver
