// The installation run through the wizard under a failing file layer: every counted file call
// from the press of "Installa" on (the payload's reads, the folders, the files, the links)
// fails in turn, once or from then on. Success is told only when every file is in place and
// whole; a failed run is never recorded, and the window closes at the first attempt.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "InstallFixture.h"
#include "support/FaultFileSystem.h"
#include "wizard/Services.h"

namespace robust {
namespace {

struct Member {
  std::string stored;
  std::string installedAs;  // below the destination
  std::string content;
};

const std::vector<Member>& Members() {
  static const std::vector<Member> members = [] {
    std::string program, text;
    for (int i = 0; i < 3000; ++i) program += "istruzione " + std::to_string(i * 7919 % 1000) + ";";
    for (int i = 0; i < 200; ++i) text += "riga " + std::to_string(i) + "\r\n";
    return std::vector<Member>{{"c:\\src\\Lumidesk.exe", "Lumidesk.exe", program},
                               {"c:\\src\\leggimi.txt", "Modelli\\leggimi.txt", text},
                               {"c:\\src\\vuoto.rvf", "ModelliRTF\\vuoto.rvf", ""},
                               {"c:\\src\\lumidesk.hlp", "lumidesk.hlp", text + text}};
  }();
  return members;
}

class InstallRun : public wizardtest::InstallTest {
 public:
  void TestBody() override {}

  void Install(long n, bool persistent) {
    const std::string where =
        std::string(persistent ? "persistent" : "transient") + " fault at call " + std::to_string(n);
    testsupport::FaultFileSystem faulty;
    wizard::CurrentServices().files = &faulty;
    std::vector<archive::WriterMember> members;
    for (const Member& m : Members()) members.push_back(wizardtest::MemoryMember(m.stored, m.content));
    auto& w = OpenAtInstallPage(members);
    faulty.FailAt(n, persistent);
    ASSERT_TRUE(PressInstall()) << where;
    fired = faulty.Fired();
    const bool told = BoxesTitled(wizard::kInstallDoneTitle) == 1;
    EXPECT_EQ(told, w.InstallDone()) << where;
    if (told) {
      for (const Member& m : Members()) {
        if (!IsFile(InDest(m.installedAs))) {
          std::string boxes;
          for (const auto& b : gui_.Boxes()) boxes += "[" + b.text + "] ";
          ADD_FAILURE() << where << ": " << m.installedAs << " missing; boxes: " << boxes;
          continue;
        }
        EXPECT_EQ(testsupport::ReadWholeFile(InDest(m.installedAs)), m.content) << where;
      }
    }
    faulty.FailAt(0);
    if (!app_.Terminated()) {
      ASSERT_TRUE(gui_.ClickCloseBox(w)) << where;
    }
    EXPECT_TRUE(app_.Terminated()) << where;
    EXPECT_EQ(RecordExists(), told) << where;
    wizard::CurrentServices().files = nullptr;
  }

  bool fired = false;
};

TEST(InstallFaultTest, EveryFileCallOfTheRunFailsInTurn) {
  long points = 0;
  for (bool persistent : {false, true}) {
    for (long n = 1;; ++n) {
      bool fired = false;
      {
        InstallRun r;
        r.Install(n, persistent);
        fired = r.fired;
      }
      if (::testing::Test::HasFatalFailure() || !fired) break;
      ++points;
      ASSERT_LT(n, 2000) << "the sweep does not end";
    }
  }
  EXPECT_GE(points, 20);
  std::printf("installation run: %ld file-layer fault points\n", points);
}

}  // namespace
}  // namespace robust
