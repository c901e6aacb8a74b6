// The twin mail component.
#include "net/MapiUse.h"

#include "platform/MessageBox.h"

namespace net {

TMapiUse::TMapiUse(gui::TComponent* owner) : TMapiUse(owner, plat::SystemMail()) {}

TMapiUse::TMapiUse(gui::TComponent* owner, plat::MailClient& mail)
    : TComponent(owner), mail_(mail) {}

TMapiUse::~TMapiUse() = default;

const std::vector<std::string>& TMapiUse::PublishedProperties() {
  return TMapiControl::PublishedProperties();
}

void TMapiUse::InviaMail() {
  if (recipients_.empty() && copyTo_.empty() && blindCopyTo_.empty()) {
    plat::ShowMessageBox(kNoRecipientText, kNoRecipientTitle,
                         plat::mb::kIconError | plat::mb::kOk);
    return;
  }
  RebuildDisplayFileNames(attachedFiles_, displayFileName_);
  const plat::MailMessage message =
      BuildMailMessage(Subject, Body, FromName, FromAdress, recipients_, copyTo_, blindCopyTo_,
                       attachedFiles_, displayFileName_);
  constexpr plat::WindowRef kNoParent;
  const std::uint32_t result =
      mail_.SendMail(kNoParent, message, ShowDialog ? kDialogFlags : 0);
  RaiseMailOutcome(this, result, OnSuccess, OnUserAbort, OnMapiError);
}

void TMapiUse::Reset() {
  Subject.clear();
  Body.clear();
  FromName.clear();
  FromAdress.clear();
  recipients_.clear();
  copyTo_.clear();
  blindCopyTo_.clear();
  attachedFiles_.clear();
  displayFileName_.clear();
}

}  // namespace net
