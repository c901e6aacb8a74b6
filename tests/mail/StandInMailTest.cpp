// The mail stand-in: no mail client, so without a sink every send is answered as refused.
#include <gtest/gtest.h>

#include "net/MapiControl.h"
#include "platform/Mail.h"

namespace {

TEST(StandInMail, WithoutASinkTheAnswerIsUserAbort) {
  const plat::MailSink previous = plat::SetMailSink({});
  EXPECT_EQ(plat::SystemMail().SendMail({}, {}, 0), plat::mapi::kUserAbort);
  EXPECT_EQ(plat::NativeSendMail({}, {}, plat::mapi::kDialog), plat::mapi::kUserAbort);

  // A component on such a system reports the refusal, never an error.
  net::TMapiControl control(nullptr);
  int aborts = 0, errors = 0;
  control.OnUserAbort = [&](gui::TComponent*) { ++aborts; };
  control.OnMapiError = [&](gui::TComponent*, std::int32_t) { ++errors; };
  control.SetRecipients({"a"});
  control.Send();
  EXPECT_EQ(aborts, 1);
  EXPECT_EQ(errors, 0);
  plat::SetMailSink(previous);
}

}  // namespace
