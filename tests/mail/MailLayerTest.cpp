// The portable part of the mail layer: the sink in front of the platform's client, the
// installed-flag rules, and a component built with the platform's client reaching the sink.
#include <gtest/gtest.h>

#include <vector>

#include "net/MapiControl.h"
#include "platform/Mail.h"

namespace {

// Installs a capturing sink for the test's lifetime.
class SinkCapture {
 public:
  SinkCapture() {
    previous_ = plat::SetMailSink(
        [this](plat::WindowRef parent, const plat::MailMessage& m, std::uint32_t flags) {
          messages.push_back(m);
          flagsSeen.push_back(flags);
          parents.push_back(parent);
          return result;
        });
  }
  ~SinkCapture() { plat::SetMailSink(previous_); }

  std::vector<plat::MailMessage> messages;
  std::vector<std::uint32_t> flagsSeen;
  std::vector<plat::WindowRef> parents;
  std::uint32_t result = plat::mapi::kSuccess;

 private:
  plat::MailSink previous_;
};

TEST(MailSink, ComponentWithTheSystemClientReachesTheSink) {
  SinkCapture sink;
  sink.result = 2;
  net::TMapiControl control(nullptr);
  std::int32_t error = 0;
  control.OnMapiError = [&](gui::TComponent*, std::int32_t code) { error = code; };
  control.Subject = "Scheda statistica Zentaro";
  control.SetRecipients({"statistiche@example.org"});
  control.Send();
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0].subject, "Scheda statistica Zentaro");
  EXPECT_EQ(sink.messages[0].recipients.at(0).address, "SMTP:statistiche@example.org");
  EXPECT_EQ(sink.flagsSeen[0], 0u);
  EXPECT_EQ(error, 2);
}

TEST(MailSink, SetReturnsThePreviousSinkAndNestsBack) {
  SinkCapture outer;
  {
    SinkCapture inner;
    plat::SystemMail().SendMail({}, {}, 0);
    EXPECT_EQ(inner.messages.size(), 1u);
  }
  plat::SystemMail().SendMail(plat::WindowRef::FromNative(7), {}, 0);
  ASSERT_EQ(outer.messages.size(), 1u);
  EXPECT_EQ(outer.parents[0].Native(), 7u);
}

TEST(MailFlag, RegistryFlagTakesOnlyTheTextOne) {
  struct Case {
    std::vector<std::uint8_t> data;
    bool installed;
  };
  const Case cases[] = {
      {{'1', 0}, true},           // the usual string value
      {{'1'}, true},              // stored without its terminating zero
      {{'1', 0, 'x'}, true},      // whatever follows the zero is not text
      {{'0', 0}, false},
      {{'1', '1', 0}, false},     // "11"
      {{' ', '1', 0}, false},
      {{1, 0, 0, 0}, false},      // a DWORD 1 is not the text "1"
      {{0}, false},
      {{}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.data));
    EXPECT_EQ(plat::mapi::RegistryFlagSet(c.data.data(), c.data.size()), c.installed);
  }
  EXPECT_FALSE(plat::mapi::RegistryFlagSet(nullptr, 2));
}

TEST(MailFlag, RegistryAboveVersionThreeFiftyOneProfileUpToIt) {
  EXPECT_FALSE(plat::mapi::UsesRegistryFlag(3, 10));
  EXPECT_FALSE(plat::mapi::UsesRegistryFlag(3, 51));
  EXPECT_TRUE(plat::mapi::UsesRegistryFlag(3, 95));
  EXPECT_TRUE(plat::mapi::UsesRegistryFlag(4, 0));
  EXPECT_TRUE(plat::mapi::UsesRegistryFlag(10, 0));
  EXPECT_FALSE(plat::mapi::UsesRegistryFlag(2, 99));
}

}  // namespace
