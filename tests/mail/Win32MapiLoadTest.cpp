// Which MAPI32.DLL the mail layer loads, run as separate processes (the layer decides once per
// process) with the capture library of capture/ in a chosen place and Wine told to prefer a
// native mapi32:
//   LUMI_MAPI_EXPECT=system  the capture library is in the Windows system folder: it receives
//                            the message exactly as built, and its answer reaches the events;
//   LUMI_MAPI_EXPECT=beside  the capture library lies only beside this program: it must not be
//                            loaded;
//   LUMI_MAPI_EXPECT=not_installed
//                            the capture library is in the system folder but the registry says
//                            MAPI is not installed: nothing is loaded.
// Without LUMI_MAPI_EXPECT the cases skip.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "net/MapiControl.h"
#include "platform/Mail.h"

namespace {

std::string Env(const char* name) {
  char buffer[MAX_PATH];
  const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return (n == 0 || n >= sizeof buffer) ? std::string() : std::string(buffer, n);
}

class Win32MapiLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    expect_ = Env("LUMI_MAPI_EXPECT");
    if (expect_.empty()) GTEST_SKIP() << "run by the mail_load_* ctest cases only";
    char folder[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, folder);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    capture_ = std::string(folder, n) + "lumi-mapi-capture-" +
               std::to_string(GetCurrentProcessId()) + ".txt";
    DeleteFileA(capture_.c_str());
    ASSERT_TRUE(SetEnvironmentVariableA("LUMI_MAPI_CAPTURE", capture_.c_str()));
  }
  void TearDown() override {
    if (!capture_.empty()) DeleteFileA(capture_.c_str());
  }

  // The capture file's text, or "(none)" when the library did not write one.
  std::string Captured() const {
    std::ifstream in(capture_, std::ios::binary);
    if (!in) return "(none)";
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  std::string expect_;
  std::string capture_;
};

TEST_F(Win32MapiLoad, MessageReachesOnlyTheSystemFolderLibrary) {
  net::TMapiControl control(nullptr);
  int success = 0, aborts = 0, errors = 0;
  control.OnSuccess = [&](gui::TComponent*) { ++success; };
  control.OnUserAbort = [&](gui::TComponent*) { ++aborts; };
  control.OnMapiError = [&](gui::TComponent*, std::int32_t) { ++errors; };
  control.Subject = "Scheda statistica Zentaro";
  control.Body = "<Cognome>Rossi</Cognome>\r\n<Citt\xE0>";
  control.FromName = "Rossi Mario";
  control.SetRecipients({"a@example.org"});
  control.SetCopyTo({"b", "c"});
  control.SetAttachedFiles({"c:\\dati\\scheda.txt"});
  control.Send();

  if (expect_ == "beside" || expect_ == "not_installed") {
    EXPECT_EQ(Captured(), "(none)");
    EXPECT_EQ(aborts, 1);
    EXPECT_EQ(success + errors, 0);
    return;
  }
  ASSERT_EQ(expect_, "system");
  EXPECT_EQ(success, 1);
  EXPECT_EQ(aborts + errors, 0);
  EXPECT_EQ(Captured(),
            "session=0\nparent=0\nflags=0\nreserved=0\n"
            "subject=Scheda statistica Zentaro\n"
            "body=<Cognome>Rossi</Cognome>\r\n<Citt\xE0>\n"
            "type=(null)\ndate=(null)\nconversation=(null)\nmessageflags=0\n"
            "class=0\nname=Rossi Mario\naddress=\neid=0\n"
            "recipients=3\n"
            "class=1\nname=a@example.org\naddress=SMTP:a@example.org\neid=0\n"
            "class=2\nname=b\naddress=SMTP:b\neid=0\n"
            "class=2\nname=c\naddress=SMTP:c\neid=0\n"
            "files=1\nposition=4294967295\npath=c:\\dati\\scheda.txt\nfile=scheda.txt\n"
            "filetype=0\n");

  // The library stays loaded: a second call with dialogs and a parent goes to it too, and its
  // answer is passed on.
  ASSERT_TRUE(SetEnvironmentVariableA("LUMI_MAPI_RESULT", "2"));
  plat::MailMessage empty;
  EXPECT_EQ(plat::NativeSendMail(plat::WindowRef::FromNative(0x1234), empty,
                                 plat::mapi::kLogonUi | plat::mapi::kNewSession |
                                     plat::mapi::kDialog),
            2u);
  EXPECT_EQ(Captured(),
            "session=0\nparent=4660\nflags=11\nreserved=0\n"
            "subject=\nbody=\ntype=(null)\ndate=(null)\nconversation=(null)\nmessageflags=0\n"
            "class=0\nname=\naddress=\neid=0\nrecipients=0\nfiles=0\n");
  SetEnvironmentVariableA("LUMI_MAPI_RESULT", nullptr);
}

}  // namespace
