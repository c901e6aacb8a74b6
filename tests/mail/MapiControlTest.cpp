// TMapiControl: the message it hands to the mail client, and the outcome events.
#include <gtest/gtest.h>

#include <memory>

#include "CaptureMail.h"
#include "net/MapiControl.h"
#include "platform/gui/Application.h"
#include "platform/gui/Form.h"
#include "platform/gui/HeadlessBackend.h"

namespace {

using mailtest::CaptureMail;
using mailtest::Outcomes;
using plat::MailRecipient;

class MapiControlTest : public ::testing::Test {
 protected:
  gui::HeadlessBackend gui_;
  gui::TApplication app_{gui_};
  CaptureMail mail_;
  std::unique_ptr<net::TMapiControl> control_ =
      std::make_unique<net::TMapiControl>(nullptr, mail_);

  const plat::MailMessage& Sent(std::size_t i = 0) const { return mail_.sent.at(i).message; }
};

TEST_F(MapiControlTest, StartsEmptyWithNoDialog) {
  EXPECT_EQ(control_->Subject, "");
  EXPECT_EQ(control_->Body, "");
  EXPECT_EQ(control_->FromName, "");
  EXPECT_EQ(control_->FromAdress, "");
  EXPECT_TRUE(control_->Recipients().empty());
  EXPECT_TRUE(control_->CopyTo().empty());
  EXPECT_TRUE(control_->BlindCopyTo().empty());
  EXPECT_TRUE(control_->AttachedFiles().empty());
  EXPECT_TRUE(control_->DisplayFileName().empty());
  EXPECT_FALSE(control_->ShowDialog);
  EXPECT_FALSE(control_->UseAppHandle);
  EXPECT_FALSE(control_->OnSuccess || control_->OnUserAbort || control_->OnMapiError);
  const std::vector<std::string> order = {
      "Subject",     "Body",          "FromName",        "FromAdress", "Recipients",
      "CopyTo",      "BlindCopyTo",   "AttachedFiles",   "DisplayFileName",
      "ShowDialog",  "UseAppHandle",  "OnUserAbort",     "OnMapiError", "OnSuccess"};
  EXPECT_EQ(net::TMapiControl::PublishedProperties(), order);
}

TEST_F(MapiControlTest, SettersCopyTheCallersList) {
  net::TStringList to = {"a@example.org"};
  control_->SetRecipients(to);
  to.push_back("b@example.org");
  to[0] = "changed";
  EXPECT_EQ(control_->Recipients(), net::TStringList({"a@example.org"}));
  // Assigning again replaces the entries rather than adding to them.
  control_->SetRecipients({"c@example.org"});
  control_->SetCopyTo({"d"});
  control_->SetBlindCopyTo({"e"});
  control_->SetAttachedFiles({"c:\\f.txt"});
  EXPECT_EQ(control_->Recipients(), net::TStringList({"c@example.org"}));
  EXPECT_EQ(control_->CopyTo(), net::TStringList({"d"}));
  EXPECT_EQ(control_->BlindCopyTo(), net::TStringList({"e"}));
  EXPECT_EQ(control_->AttachedFiles(), net::TStringList({"c:\\f.txt"}));
}

TEST_F(MapiControlTest, RecipientsInToCcBccOrderWithClassesAndSmtpAddresses) {
  control_->SetRecipients({"a"});
  control_->SetCopyTo({"b", "c"});
  control_->Send();
  ASSERT_EQ(mail_.sent.size(), 1u);
  const auto& r = Sent().recipients;
  ASSERT_EQ(r.size(), 3u);
  const MailRecipient expected[] = {{1, "a", "SMTP:a"}, {2, "b", "SMTP:b"}, {2, "c", "SMTP:c"}};
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(r[i].recipClass, expected[i].recipClass);
    EXPECT_EQ(r[i].name, expected[i].name);
    EXPECT_EQ(r[i].address, expected[i].address);
  }
}

TEST_F(MapiControlTest, BccFollowsCcAndEntriesAreNotChecked) {
  // Names go as stored: an entry that already carries a prefix, or holds blanks, is not
  // cleaned up.
  control_->SetRecipients({"x@example.org", "SMTP:y@example.org"});
  control_->SetBlindCopyTo({" z "});
  control_->SetCopyTo({"w"});
  control_->Send();
  const auto& r = Sent().recipients;
  ASSERT_EQ(r.size(), 4u);
  EXPECT_EQ(r[0].address, "SMTP:x@example.org");
  EXPECT_EQ(r[1].name, "SMTP:y@example.org");
  EXPECT_EQ(r[1].address, "SMTP:SMTP:y@example.org");
  EXPECT_EQ(r[2].recipClass, plat::mapi::kCc);
  EXPECT_EQ(r[2].name, "w");
  EXPECT_EQ(r[3].recipClass, plat::mapi::kBcc);
  EXPECT_EQ(r[3].name, " z ");
  EXPECT_EQ(r[3].address, "SMTP: z ");
}

TEST_F(MapiControlTest, TextsAndOriginatorAsGivenEmptyOnesStayEmpty) {
  control_->Subject = "Oggetto";
  control_->Body = "riga 1\r\nriga 2 \xE8\r\n";
  control_->Send();
  const plat::MailMessage& m = Sent();
  EXPECT_EQ(m.subject, "Oggetto");
  EXPECT_EQ(m.noteText, "riga 1\r\nriga 2 \xE8\r\n");
  EXPECT_EQ(m.originator.recipClass, plat::mapi::kOrig);
  EXPECT_EQ(m.originator.name, "");
  EXPECT_EQ(m.originator.address, "");
  EXPECT_TRUE(m.files.empty());

  control_->FromName = "Rossi Mario";
  control_->FromAdress = "mario@example.org";
  control_->Send();
  EXPECT_EQ(Sent(1).originator.name, "Rossi Mario");
  EXPECT_EQ(Sent(1).originator.address, "mario@example.org");
}

TEST_F(MapiControlTest, NoRecipientsStillCallsTheClient) {
  Outcomes o;
  o.Attach(*control_);
  control_->Send();
  ASSERT_EQ(mail_.sent.size(), 1u);
  EXPECT_TRUE(Sent().recipients.empty());
  EXPECT_EQ(o.success, 1);
}

TEST_F(MapiControlTest, AttachmentPathAndFileNameParts) {
  control_->SetAttachedFiles({"c:\\programmi\\nortavia\\Lumidesk\\leggimi.txt", "d:note.rtf",
                              "semplice.doc"});
  control_->Send();
  const auto& f = Sent().files;
  ASSERT_EQ(f.size(), 3u);
  EXPECT_EQ(f[0].pathName, "c:\\programmi\\nortavia\\Lumidesk\\leggimi.txt");
  EXPECT_EQ(f[0].fileName, "leggimi.txt");
  EXPECT_EQ(f[1].pathName, "d:note.rtf");
  EXPECT_EQ(f[1].fileName, "note.rtf");
  EXPECT_EQ(f[2].fileName, "semplice.doc");
  for (const auto& a : f) {
    EXPECT_EQ(a.position, 0xFFFFFFFFu);
    EXPECT_EQ(a.flags, 0u);
  }
  EXPECT_EQ(control_->DisplayFileName(),
            net::TStringList({"leggimi.txt", "note.rtf", "semplice.doc"}));
}

TEST_F(MapiControlTest, DisplayFileNameRebuiltOnlyWhenThereAreAttachments) {
  control_->SetAttachedFiles({"c:\\a\\uno.txt", "c:\\a\\due.txt"});
  control_->Send();
  control_->SetAttachedFiles({"c:\\b\\tre.txt"});
  control_->Send();
  // Rebuilt, not appended to.
  EXPECT_EQ(control_->DisplayFileName(), net::TStringList({"tre.txt"}));
  control_->SetAttachedFiles({});
  control_->Send();
  EXPECT_EQ(control_->DisplayFileName(), net::TStringList({"tre.txt"}));
  EXPECT_TRUE(Sent(2).files.empty());
}

TEST_F(MapiControlTest, SendChangesNoOtherProperty) {
  control_->Subject = "s";
  control_->Body = "b";
  control_->FromName = "n";
  control_->SetRecipients({"a"});
  control_->SetAttachedFiles({"c:\\x.txt"});
  control_->Send();
  EXPECT_EQ(control_->Subject, "s");
  EXPECT_EQ(control_->Body, "b");
  EXPECT_EQ(control_->FromName, "n");
  EXPECT_EQ(control_->FromAdress, "");
  EXPECT_EQ(control_->Recipients(), net::TStringList({"a"}));
  EXPECT_TRUE(control_->CopyTo().empty());
  EXPECT_EQ(control_->AttachedFiles(), net::TStringList({"c:\\x.txt"}));
}

TEST_F(MapiControlTest, FlagsFollowShowDialogNotUseAppHandle) {
  control_->Send();
  control_->ShowDialog = true;
  control_->Send();
  control_->UseAppHandle = true;
  control_->Send();
  control_->ShowDialog = false;
  control_->Send();
  ASSERT_EQ(mail_.sent.size(), 4u);
  EXPECT_EQ(mail_.sent[0].flags, 0u);
  EXPECT_EQ(mail_.sent[1].flags, 0x0Bu);
  EXPECT_EQ(mail_.sent[2].flags, 0x0Bu);
  EXPECT_EQ(mail_.sent[3].flags, 0u);
  EXPECT_EQ(mail_.sent[0].parent, mail_.sent[3].parent);
}

TEST_F(MapiControlTest, ParentIsTheMainWindowReadAtEachCall) {
  control_->Send();
  EXPECT_TRUE(mail_.sent[0].parent.Empty());  // no main form yet

  gui::TForm* main = app_.CreateForm<gui::TForm>();
  main->SetBackendData(0x1234);
  control_->Send();
  main->SetBackendData(0x5678);
  control_->Send();
  ASSERT_EQ(mail_.sent.size(), 3u);
  EXPECT_EQ(mail_.sent[1].parent.Native(), 0x1234u);
  EXPECT_EQ(mail_.sent[2].parent.Native(), 0x5678u);
}

TEST_F(MapiControlTest, ResultCodesRaiseTheirEvent) {
  struct Case {
    std::uint32_t result;
    int success, userAbort, errors;
  };
  const Case cases[] = {{0, 1, 0, 0}, {1, 0, 1, 0}, {2, 0, 0, 1}, {0x1A, 0, 0, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.result);
    Outcomes o;
    o.Attach(*control_);
    mail_.result = c.result;
    control_->Send();
    EXPECT_EQ(o.success, c.success);
    EXPECT_EQ(o.userAbort, c.userAbort);
    EXPECT_EQ(o.errors, c.errors);
    EXPECT_EQ(o.lastSender, control_.get());
    if (c.errors) {
      EXPECT_EQ(o.lastError, static_cast<std::int32_t>(c.result));
    }
  }
}

TEST_F(MapiControlTest, LargeResultReachesTheErrorEventAsSignedCode) {
  Outcomes o;
  o.Attach(*control_);
  mail_.result = 0xFFFFFFFFu;
  control_->Send();
  EXPECT_EQ(o.errors, 1);
  EXPECT_EQ(o.lastError, -1);
}

TEST_F(MapiControlTest, WithoutHandlersNothingHappensOnAnyResult) {
  mail_.script = {0, 1, 2};
  for (int i = 0; i < 3; ++i) EXPECT_NO_THROW(control_->Send());
  EXPECT_EQ(mail_.sent.size(), 3u);
}

TEST_F(MapiControlTest, SecondSendCarriesExactlyThatCallsRecipients) {
  control_->SetRecipients({"statistiche@example.org"});
  control_->Subject = "primo";
  control_->Send();
  control_->SetRecipients({"statistiche@example.org"});
  control_->Subject = "secondo";
  control_->Send();
  ASSERT_EQ(mail_.sent.size(), 2u);
  ASSERT_EQ(Sent(1).recipients.size(), 1u);
  EXPECT_EQ(Sent(1).recipients[0].address, "SMTP:statistiche@example.org");
  EXPECT_EQ(Sent(1).subject, "secondo");
}

TEST_F(MapiControlTest, ClientExceptionLeavesSendWithoutAnEvent) {
  Outcomes o;
  o.Attach(*control_);
  mail_.throwNext = true;
  EXPECT_THROW(control_->Send(), std::runtime_error);
  EXPECT_EQ(o.Total(), 0);
  // The component stays usable.
  control_->Send();
  EXPECT_EQ(o.success, 1);
}

TEST_F(MapiControlTest, OwnedByItsOwner) {
  gui::TComponent owner(nullptr);
  auto* c = new net::TMapiControl(&owner, mail_);
  c->SetName("MapiUse1");
  EXPECT_EQ(owner.Find<net::TMapiControl>("MapiUse1"), c);
}

}  // namespace
