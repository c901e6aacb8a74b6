// The statistics card's forward button: validation, the mailed card, the acceptance choice, the
// Flash viewer check it runs and the prompt panel's picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "WizardFixture.h"
#include "platform/Files.h"
#include "support/ProxyFileSystem.h"
#include "wizard/Configuration.h"

namespace wizardtest {
namespace {

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  if (prefix.size() > s.size()) return false;
  return std::equal(prefix.begin(), prefix.end(), s.begin(), [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  });
}

// The real file layer, except that questions about files in the Windows system folder are
// answered from a scratch folder standing in for it (so that no test writes into the real
// one under Wine) and recorded.
class SystemFolderFiles : public testsupport::ProxyFileSystem {
 public:
  SystemFolderFiles(std::string system, std::string standIn)
      : system_(plat::IncludeTrailingBackslash(system)), standIn_(std::move(standIn)) {}

  std::vector<std::string> asked;  // system-folder paths FileExists was asked about

  bool FileExists(const std::string& p) override {
    if (!StartsWithNoCase(p, system_)) return ProxyFileSystem::FileExists(p);
    asked.push_back(p.substr(system_.size()));
    return ProxyFileSystem::FileExists(standIn_ + "\\" + p.substr(system_.size()));
  }

 private:
  std::string system_;
  std::string standIn_;
};

class CardTest : public WizardTest {
 protected:
  CardTest() : files_(plat::SystemDirectory(), Path("system")) {
    plat::RealFileSystem().ForceDirectories(Path("system"));
    services_.UseFiles(&files_);
  }

  void StartOnCard(bool withPayload = true) {
    if (withPayload) UseDefaultInstaller();
    StartWizard();
    gui_.ClearBoxes();
    form_->Notebook1->SetPageIndex(1);
  }

  void Type(gui::TEdit* edit, const std::string& text) {
    ASSERT_TRUE(gui_.Type(*edit, text)) << edit->Name();
  }

  // Every required field of the card, typed as a user would: `value`, or the field's value
  // below. The phone stays empty.
  void FillRequired(const std::string& value = "") {
    static const CardValues typed = {
        {"Cognome", "Rossi"}, {"Nome", "Maria"}, {"Indirizzo", "Via Roma 1"},
        {"Citta", "Citt\xE0 di Castello"}, {"Prov", "PG"}, {"Eta", "42"}};
    for (const wizard::CardField& f : wizard::kCardFields) {
      if (!f.required) continue;
      std::string text = value;
      for (const auto& t : typed)
        if (text.empty() && t.first == f.value) text = t.second;
      Type(form_->Find<gui::TEdit>(f.control), text);
    }
  }

  bool Forward() { return gui_.Click(*form_->Button12); }

  // A Flash control file in the stand-in system folder.
  void PlaceFlash(const std::string& relative) {
    const std::string path = Path("system\\" + relative);
    plat::RealFileSystem().ForceDirectories(plat::ExtractFilePath(path));
    testsupport::WriteWholeFile(path, "control");
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& b : gui_.Boxes()) texts.push_back(b.text);
    return texts;
  }

  SystemFolderFiles files_;
};

TEST_F(CardTest, CardIsMailedAsTaggedLinesToTheStatisticsMailbox) {
  StartOnCard();
  FillRequired();
  ASSERT_TRUE(Forward());

  ASSERT_EQ(mails_.size(), 1u);
  const plat::MailMessage& m = mails_[0].message;
  EXPECT_EQ(m.subject, "Scheda statistica Zentaro");
  EXPECT_EQ(m.noteText,
            "<Cognome>Rossi</Cognome>\r\n"
            "<Nome>Maria</Nome>\r\n"
            "<Indirizzo>Via Roma 1</Indirizzo>\r\n"
            "<Citta>Citt\xE0 di Castello</Citta>\r\n"
            "<Prov>PG</Prov>\r\n"
            "<Eta>42</Eta>\r\n"
            "<Cellulare></Cellulare>\r\n"
            "<Maschio>FALSE</Maschio>\r\n"
            "<VERSIONE>3.0.0.3</VERSIONE>\r\n"
            "Accetto quanto segue:\r\n" +
                form_->Memo3->Text());
  EXPECT_FALSE(form_->Memo3->Text().empty());
  EXPECT_EQ(m.originator.recipClass, plat::mapi::kOrig);
  EXPECT_EQ(m.originator.name, "Rossi Maria");
  EXPECT_EQ(m.originator.address, "");
  ASSERT_EQ(m.recipients.size(), 1u);
  EXPECT_EQ(m.recipients[0].recipClass, plat::mapi::kTo);
  EXPECT_EQ(m.recipients[0].name, wizard::kStatisticsMailbox);
  EXPECT_EQ(m.recipients[0].address, std::string("SMTP:") + wizard::kStatisticsMailbox);
  EXPECT_TRUE(m.files.empty());
  EXPECT_EQ(mails_[0].flags, 0u);  // no compose or logon dialog

  EXPECT_EQ(form_->Notebook1->PageIndex(), 2);
  EXPECT_TRUE(gui_.Boxes().empty());
}

TEST_F(CardTest, ValuesGoInAsTypedWithPhoneCheckBoxAndEditedNotice) {
  StartOnCard();
  FillRequired();
  Type(form_->Edit1, "<b>D'Amico & figli</b>");
  Type(form_->Edit6, " 333 1234567 ");
  ASSERT_TRUE(gui_.Click(*form_->CheckBox1));
  ASSERT_TRUE(gui_.Click(*form_->CheckBox2));  // "Femmina" is not part of the card
  Type(form_->Memo3, "Riga uno\r\nRiga due");
  ASSERT_TRUE(Forward());

  ASSERT_EQ(mails_.size(), 1u);
  const std::string& body = mails_[0].message.noteText;
  EXPECT_EQ(body.find("<Cognome><b>D'Amico & figli</b></Cognome>\r\n"), 0u);
  EXPECT_NE(body.find("\r\n<Cellulare> 333 1234567 </Cellulare>\r\n"), std::string::npos);
  EXPECT_NE(body.find("\r\n<Maschio>TRUE</Maschio>\r\n"), std::string::npos);
  const std::string tail = "Accetto quanto segue:\r\nRiga uno\r\nRiga due";
  ASSERT_GE(body.size(), tail.size());
  EXPECT_EQ(body.substr(body.size() - tail.size()), tail);
  EXPECT_EQ(mails_[0].message.originator.name, "<b>D'Amico & figli</b> Maria");
}

TEST_F(CardTest, BlanksCountAsFilled) {
  StartOnCard();
  FillRequired("  ");
  ASSERT_TRUE(Forward());
  EXPECT_TRUE(gui_.Boxes().empty());
  ASSERT_EQ(mails_.size(), 1u);
  EXPECT_EQ(mails_[0].message.noteText.find("<Cognome>  </Cognome>\r\n<Nome>  </Nome>\r\n"), 0u);
  EXPECT_EQ(mails_[0].message.originator.name, "     ");
  EXPECT_EQ(form_->Notebook1->PageIndex(), 2);
}

TEST_F(CardTest, AnEmptyRequiredFieldStopsThePressBeforeMailFlashCheckAndPageChange) {
  StartOnCard();
  int stops = 0;
  for (const wizard::CardField& f : wizard::kCardFields) {
    if (f.source != wizard::FieldSource::kEdit) continue;
    const std::string name = f.control;
    FillRequired();
    Type(form_->Find<gui::TEdit>(name), "");
    form_->Panel10->Hide();
    files_.asked.clear();
    gui_.ClearBoxes();
    mails_.clear();

    ASSERT_TRUE(Forward()) << name;
    if (!f.required) {
      EXPECT_TRUE(gui_.Boxes().empty()) << name;
      EXPECT_EQ(mails_.size(), 1u) << name;
      form_->Notebook1->SetPageIndex(1);
      continue;
    }
    ++stops;
    ASSERT_EQ(gui_.Boxes().size(), 1u) << name;
    EXPECT_EQ(gui_.Boxes()[0].text, "Dati incompleti");
    EXPECT_EQ(gui_.Boxes()[0].title, "Completa modulo!");
    EXPECT_EQ(gui_.Boxes()[0].flags, 0x10u);  // stop icon, OK button
    EXPECT_TRUE(mails_.empty()) << name;
    EXPECT_TRUE(files_.asked.empty()) << name;
    EXPECT_FALSE(form_->Panel10->Visible()) << name;
    EXPECT_EQ(form_->Notebook1->PageIndex(), 1) << name;
    if (name != "Edit1") {
      EXPECT_EQ(form_->Edit1->Text(), "Rossi") << name;  // the typed values stay
    }
  }
  EXPECT_EQ(stops, 6);  // every field but the phone
}

TEST_F(CardTest, DecliningSendsNothingRunsTheFlashCheckAndAsksForAcceptance) {
  StartOnCard();
  ASSERT_TRUE(gui_.Click(*form_->RadioButton2));
  EXPECT_FALSE(form_->RadioButton1->Checked());
  ASSERT_TRUE(Forward());

  EXPECT_EQ(BoxTexts(),
            std::vector<std::string>{"Per continuare accettare quanto previsto dall'informativa"});
  EXPECT_EQ(gui_.Boxes()[0].title, app_.Title());
  EXPECT_EQ(gui_.Boxes()[0].flags, plat::mb::kOk);
  EXPECT_TRUE(mails_.empty());
  EXPECT_FALSE(files_.asked.empty());
  EXPECT_TRUE(form_->Panel10->Visible());
  EXPECT_EQ(form_->Notebook1->PageIndex(), 1);

  // Accepting afterwards sends the card and moves on.
  ASSERT_TRUE(gui_.Click(*form_->RadioButton1));
  FillRequired();
  gui_.ClearBoxes();
  ASSERT_TRUE(Forward());
  EXPECT_TRUE(gui_.Boxes().empty());
  EXPECT_EQ(mails_.size(), 1u);
  EXPECT_EQ(form_->Notebook1->PageIndex(), 2);
}

TEST_F(CardTest, EveryPassingPressSendsANewCardWithOneRecipient) {
  StartOnCard();
  FillRequired();
  ASSERT_TRUE(Forward());
  ASSERT_TRUE(gui_.Click(*form_->Indietro));
  ASSERT_EQ(form_->Notebook1->PageIndex(), 1);
  Type(form_->Edit2, "Giulia");
  ASSERT_TRUE(Forward());

  ASSERT_EQ(mails_.size(), 2u);
  for (const SentMail& sent : mails_) {
    ASSERT_EQ(sent.message.recipients.size(), 1u);
    EXPECT_EQ(sent.message.recipients[0].name, wizard::kStatisticsMailbox);
  }
  EXPECT_EQ(mails_[1].message.originator.name, "Rossi Giulia");
  EXPECT_NE(mails_[1].message.noteText.find("<Nome>Giulia</Nome>"), std::string::npos);
  EXPECT_EQ(form_->MapiUse1->Recipients().size(), 1u);
  EXPECT_EQ(form_->Notebook1->PageIndex(), 2);
}

TEST_F(CardTest, AFailingOrMissingMailClientStillLetsTheUserGoOn) {
  StartOnCard();
  FillRequired();
  for (std::uint32_t result : {plat::mapi::kUserAbort, 2u, 0x1Au}) {
    mailResult_ = result;
    form_->Notebook1->SetPageIndex(1);
    ASSERT_TRUE(Forward());
    EXPECT_EQ(form_->Notebook1->PageIndex(), 2) << result;
  }
  EXPECT_EQ(mails_.size(), 3u);

  // A client that breaks down altogether is not the user's problem either.
  plat::SetMailSink([](plat::WindowRef, const plat::MailMessage&, std::uint32_t) -> std::uint32_t {
    throw std::runtime_error("mail client crashed");
  });
  form_->Notebook1->SetPageIndex(1);
  ASSERT_TRUE(Forward());
  EXPECT_EQ(form_->Notebook1->PageIndex(), 2);
  EXPECT_TRUE(gui_.Boxes().empty());
}

TEST_F(CardTest, MailComponentIsOwnedByTheWindowWithoutDialogs) {
  StartOnCard();
  ASSERT_NE(form_->MapiUse1, nullptr);
  EXPECT_EQ(form_->MapiUse1->Name(), "MapiUse1");
  EXPECT_EQ(form_->MapiUse1->Owner(), form_);
  EXPECT_FALSE(form_->MapiUse1->ShowDialog);
  EXPECT_FALSE(form_->MapiUse1->UseAppHandle);
  EXPECT_TRUE(form_->MapiUse1->FromAdress.empty());
  EXPECT_TRUE(form_->MapiUse1->CopyTo().empty());
  EXPECT_TRUE(form_->MapiUse1->BlindCopyTo().empty());
  EXPECT_TRUE(form_->MapiUse1->AttachedFiles().empty());
}

// --- The Flash viewer check

TEST_F(CardTest, FlashControlInTheSystemFolderItselfHidesThePanel) {
  PlaceFlash("SWFLASH.OCX");
  StartOnCard();
  FillRequired();
  ASSERT_TRUE(Forward());
  EXPECT_FALSE(form_->Panel10->Visible());
  // Found at the first place: the subfolder is not looked at.
  EXPECT_EQ(files_.asked, std::vector<std::string>{"SWFLASH.OCX"});
}

TEST_F(CardTest, FlashControlOnlyUnderMacromedFlashHidesThePanel) {
  PlaceFlash("MACROMED\\FLASH\\SWFLASH.OCX");
  StartOnCard();
  FillRequired();
  ASSERT_TRUE(Forward());
  EXPECT_FALSE(form_->Panel10->Visible());
  EXPECT_EQ(files_.asked,
            (std::vector<std::string>{"SWFLASH.OCX", "MACROMED\\FLASH\\SWFLASH.OCX"}));
}

TEST_F(CardTest, WithoutTheFlashControlThePanelShowsOnlyItsInstructionLines) {
  PlaceFlash("MACROMED\\SWFLASH.OCX");  // neither of the two places
  StartOnCard();
  form_->Panel10->Hide();
  FillRequired();
  ASSERT_TRUE(Forward());
  ASSERT_EQ(form_->Notebook1->PageIndex(), 2);
  EXPECT_TRUE(form_->Panel10->Visible());
  EXPECT_TRUE(form_->Panel10->Showing());
  EXPECT_FALSE(form_->Image5->Visible());
  EXPECT_FALSE(form_->Label26->Visible());
  EXPECT_FALSE(form_->Label29->Visible());
  EXPECT_TRUE(form_->Label30->Showing());
  EXPECT_TRUE(form_->Label31->Showing());

  // The check runs again at the next press and follows what is there now.
  PlaceFlash("SWFLASH.OCX");
  ASSERT_TRUE(gui_.Click(*form_->Indietro));
  ASSERT_TRUE(Forward());
  EXPECT_FALSE(form_->Panel10->Visible());
}

TEST_F(CardTest, FlashCheckAfterAnIncompleteStartUpLooksInTheSystemFolder) {
  // No installer file: start-up stops before it reads the system folder.
  PlaceFlash("SWFLASH.OCX");
  StartOnCard(false);
  ASSERT_TRUE(form_->SystemFolder().empty());
  FillRequired();
  ASSERT_TRUE(Forward());
  EXPECT_EQ(files_.asked, std::vector<std::string>{"SWFLASH.OCX"});
  EXPECT_FALSE(form_->Panel10->Visible());
}

TEST_F(CardTest, FlashPictureOpensTheDownloadPageAndHidesThePanel) {
  StartOnCard();
  form_->Notebook1->SetPageIndex(2);
  form_->Image5->Show();  // nothing in the wizard shows it; a click needs it showing
  ASSERT_TRUE(gui_.Click(*form_->Image5));
  EXPECT_FALSE(form_->Panel10->Visible());
  EXPECT_EQ(opened_, std::vector<std::string>{wizard::kFlashDownloadPage});

  // A shell that cannot open the page changes nothing for the user.
  plat::SetShellOpenSink([](plat::WindowRef, const std::string&) { return false; });
  form_->Panel10->Show();
  ASSERT_TRUE(gui_.Click(*form_->Image5));
  EXPECT_FALSE(form_->Panel10->Visible());
  EXPECT_TRUE(gui_.Boxes().empty());
}

}  // namespace
}  // namespace wizardtest
