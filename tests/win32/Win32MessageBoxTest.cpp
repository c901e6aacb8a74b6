// The platform's own message box is the system's MessageBoxA: a helper thread finds the box
// as a user would see it (a dialog of this process with the given caption), reads its text and
// presses one of its buttons by ID.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/MessageBox.h"

namespace {

struct Seen {
  bool found = false;
  std::string text;
};

struct Search {
  std::string caption;
  HWND box = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char className[64] = {};
  char caption[256] = {};
  GetClassNameA(window, className, sizeof className);
  GetWindowTextA(window, caption, sizeof caption);
  if (pid == GetCurrentProcessId() && std::string(className) == "#32770" &&
      search->caption == caption && IsWindowVisible(window)) {
    search->box = window;
    return FALSE;
  }
  return TRUE;
}

// Waits up to 20 s for the box, records its text and clicks the button with the given ID.
std::thread Answer(const std::string& caption, int buttonId, Seen& seen) {
  return std::thread([caption, buttonId, &seen] {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
      Search search{caption, nullptr};
      EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
      HWND button = search.box ? GetDlgItem(search.box, buttonId) : nullptr;
      if (button != nullptr) {
        char text[512] = {};
        GetDlgItemTextA(search.box, 0xFFFF, text, sizeof text);  // the box's message static
        seen.text = text;
        seen.found = true;
        PostMessageA(button, BM_CLICK, 0, 0);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
}

TEST(Win32MessageBox, ShowsTextAndTitleAndReturnsTheButtonPressed) {
  Seen seen;
  const std::string text = "Lanciare il programma? Verr\xE0 chiuso l'installatore.";
  std::thread answer = Answer("Domanda \xE8 qui", IDNO, seen);
  const int result =
      plat::NativeMessageBox(text, "Domanda \xE8 qui", plat::mb::kYesNo | plat::mb::kIconQuestion);
  answer.join();
  ASSERT_TRUE(seen.found) << "no message box appeared";
  EXPECT_EQ(seen.text, text);
  EXPECT_EQ(result, plat::mb::kIdNo);
}

TEST(Win32MessageBox, WithoutHandlerTheDispatchShowsTheSystemBox) {
  plat::MessageBoxHandler previous = plat::SetMessageBoxHandler({});
  Seen seen;
  std::thread answer = Answer("Installazione conclusa con successo", IDOK, seen);
  const int result = plat::ShowMessageBox("Lanciare il programma dall'icona sul desktop",
                                          "Installazione conclusa con successo",
                                          plat::mb::kOk | plat::mb::kIconInformation);
  answer.join();
  plat::SetMessageBoxHandler(previous);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, "Lanciare il programma dall'icona sul desktop");
  EXPECT_EQ(result, plat::mb::kIdOk);
}

}  // namespace
