// Message-box dispatch and the message pump hook.
#include <gtest/gtest.h>

#include "support/MessageBoxRecorder.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"

namespace {

TEST(MessageBoxDispatch, HandlerGetsTheBoxAndRecordersNest) {
  testsupport::MessageBoxRecorder outer;
  {
    testsupport::MessageBoxRecorder inner({plat::mb::kIdCancel});
    EXPECT_EQ(plat::ShowMessageBox("text", "title", plat::mb::kOkCancel), plat::mb::kIdCancel);
    EXPECT_EQ(plat::ShowMessageBox("again", "t", plat::mb::kOk), plat::mb::kIdOk);
    ASSERT_EQ(inner.Boxes().size(), 2u);
    EXPECT_EQ(inner.Boxes()[0].text, "text");
    EXPECT_EQ(inner.Boxes()[0].title, "title");
    EXPECT_EQ(inner.Boxes()[0].flags, plat::mb::kOkCancel);
  }
  plat::ShowMessageBox("outer", "t", 0);
  ASSERT_EQ(outer.Boxes().size(), 1u);
  EXPECT_EQ(outer.Boxes()[0].text, "outer");
}

TEST(MessagePump, RunsTheInstalledPumpAndNothingWithout) {
  int runs = 0;
  auto previous = plat::SetMessagePump([&] { ++runs; });
  plat::ProcessMessages();
  plat::ProcessMessages();
  EXPECT_EQ(runs, 2);
  auto mine = plat::SetMessagePump(nullptr);
  EXPECT_TRUE(static_cast<bool>(mine));
  plat::ProcessMessages();
  EXPECT_EQ(runs, 2);
  plat::SetMessagePump(previous);
}

}  // namespace
