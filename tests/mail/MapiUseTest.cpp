// TMapiUse: the recipient check, no parent window, Reset, and the shared message layout.
#include <gtest/gtest.h>

#include <memory>

#include "CaptureMail.h"
#include "net/MapiUse.h"
#include "platform/gui/Application.h"
#include "platform/gui/Form.h"
#include "platform/gui/HeadlessBackend.h"
#include "support/MessageBoxRecorder.h"

namespace {

using mailtest::CaptureMail;
using mailtest::Outcomes;

class MapiUseTest : public ::testing::Test {
 protected:
  CaptureMail mail_;
  std::unique_ptr<net::TMapiUse> use_ = std::make_unique<net::TMapiUse>(nullptr, mail_);
};

TEST_F(MapiUseTest, NoRecipientStopsWithABoxAndNoCallOrEvent) {
  testsupport::MessageBoxRecorder boxes;
  Outcomes o;
  o.Attach(*use_);
  use_->Subject = "s";
  use_->SetAttachedFileName({"c:\\a\\b.txt"});
  use_->InviaMail();
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Nessun destinatario");
  EXPECT_EQ(boxes.Boxes()[0].title, "Stop");
  EXPECT_EQ(boxes.Boxes()[0].flags, 0x10u);
  EXPECT_TRUE(mail_.sent.empty());
  EXPECT_EQ(o.Total(), 0);
  // The refused send leaves the attachment names alone.
  EXPECT_TRUE(use_->DisplayFileName().empty());
}

TEST_F(MapiUseTest, AnyOneListWithAnEntryIsEnough) {
  testsupport::MessageBoxRecorder boxes;
  use_->SetCCAddr({"b"});
  use_->InviaMail();
  use_->SetCCAddr({});
  use_->SetBCCAddr({"c"});
  use_->InviaMail();
  EXPECT_TRUE(boxes.Boxes().empty());
  ASSERT_EQ(mail_.sent.size(), 2u);
  EXPECT_EQ(mail_.sent[0].message.recipients.at(0).recipClass, plat::mapi::kCc);
  EXPECT_EQ(mail_.sent[1].message.recipients.at(0).recipClass, plat::mapi::kBcc);
}

TEST_F(MapiUseTest, SameLayoutAsTheControlWithNoParentWindow) {
  gui::HeadlessBackend gui;
  gui::TApplication app(gui);
  app.CreateForm<gui::TForm>()->SetBackendData(0x4321);

  use_->FromName = "Bianchi Anna";
  use_->SetToAddr({"a"});
  use_->SetCCAddr({"b", "c"});
  use_->SetAttachedFileName({"c:\\dati\\scheda.txt"});
  use_->ShowDialog = true;
  use_->InviaMail();
  ASSERT_EQ(mail_.sent.size(), 1u);
  const mailtest::SentMail& s = mail_.sent[0];
  EXPECT_TRUE(s.parent.Empty());
  EXPECT_EQ(s.flags, 0x0Bu);
  EXPECT_EQ(s.message.originator.name, "Bianchi Anna");
  EXPECT_EQ(s.message.originator.address, "");
  ASSERT_EQ(s.message.recipients.size(), 3u);
  EXPECT_EQ(s.message.recipients[0].recipClass, 1u);
  EXPECT_EQ(s.message.recipients[1].recipClass, 2u);
  EXPECT_EQ(s.message.recipients[2].address, "SMTP:c");
  ASSERT_EQ(s.message.files.size(), 1u);
  EXPECT_EQ(s.message.files[0].fileName, "scheda.txt");
  EXPECT_EQ(s.message.files[0].position, plat::mapi::kNoPosition);
  EXPECT_EQ(use_->DisplayFileName(), net::TStringList({"scheda.txt"}));
}

TEST_F(MapiUseTest, ResultCodesRaiseTheirEvent) {
  use_->SetToAddr({"a"});
  Outcomes o;
  o.Attach(*use_);
  mail_.script = {0, 1, 2};
  use_->InviaMail();
  use_->InviaMail();
  use_->InviaMail();
  EXPECT_EQ(o.success, 1);
  EXPECT_EQ(o.userAbort, 1);
  EXPECT_EQ(o.errors, 1);
  EXPECT_EQ(o.lastError, 2);
}

TEST_F(MapiUseTest, ResetEmptiesTextsAndListsButKeepsSwitchesAndEvents) {
  use_->Subject = "s";
  use_->Body = "b";
  use_->FromName = "n";
  use_->FromAdress = "f";
  use_->SetToAddr({"a"});
  use_->SetCCAddr({"b"});
  use_->SetBCCAddr({"c"});
  use_->SetAttachedFileName({"c:\\d.txt"});
  use_->InviaMail();
  ASSERT_FALSE(use_->DisplayFileName().empty());
  use_->ShowDialog = true;
  Outcomes o;
  o.Attach(*use_);

  use_->Reset();
  EXPECT_EQ(use_->Subject + use_->Body + use_->FromName + use_->FromAdress, "");
  EXPECT_TRUE(use_->Recipients().empty());
  EXPECT_TRUE(use_->CopyTo().empty());
  EXPECT_TRUE(use_->BlindCopyTo().empty());
  EXPECT_TRUE(use_->AttachedFiles().empty());
  EXPECT_TRUE(use_->DisplayFileName().empty());
  EXPECT_TRUE(use_->ShowDialog);
  EXPECT_TRUE(o.Total() == 0 && use_->OnSuccess);
}

TEST_F(MapiUseTest, SettersCopyAndPropertiesMatchTheControl) {
  net::TStringList list = {"a", "b"};
  use_->SetToAddr(list);
  list.clear();
  EXPECT_EQ(use_->Recipients(), net::TStringList({"a", "b"}));
  EXPECT_EQ(net::TMapiUse::PublishedProperties(), net::TMapiControl::PublishedProperties());
}

}  // namespace
