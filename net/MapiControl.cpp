// The mail component: building the message, the one call to the mail client, the outcome.
#include "net/MapiControl.h"

#include "platform/Files.h"
#include "platform/gui/Application.h"
#include "platform/gui/Form.h"

namespace net {

namespace {

void AddRecipients(plat::MailMessage& m, const TStringList& entries, std::uint32_t recipClass) {
  for (const std::string& entry : entries)
    m.recipients.push_back({recipClass, entry, kSmtpPrefix + entry});
}

// The application's main window as the client's parent, read at each call: the main form may
// have been (re)created since the component was.
plat::WindowRef MainWindow() {
  const gui::TForm* main = gui::Application().MainForm();
  return main ? main->Window() : plat::WindowRef();
}

}  // namespace

plat::MailMessage BuildMailMessage(const std::string& subject, const std::string& body,
                                   const std::string& fromName, const std::string& fromAddress,
                                   const TStringList& to, const TStringList& cc,
                                   const TStringList& bcc, const TStringList& files,
                                   const TStringList& fileNames) {
  plat::MailMessage m;
  m.subject = subject;
  m.noteText = body;
  m.originator = {plat::mapi::kOrig, fromName, fromAddress};
  m.recipients.reserve(to.size() + cc.size() + bcc.size());
  AddRecipients(m, to, plat::mapi::kTo);
  AddRecipients(m, cc, plat::mapi::kCc);
  AddRecipients(m, bcc, plat::mapi::kBcc);
  m.files.reserve(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    plat::MailAttachment a;
    a.pathName = files[i];
    // Callers pass one name per file; a missing one leaves the name empty rather than reading
    // past the list.
    if (i < fileNames.size()) a.fileName = fileNames[i];
    m.files.push_back(std::move(a));
  }
  return m;
}

void RebuildDisplayFileNames(const TStringList& files, TStringList& names) {
  if (files.empty()) return;
  names.clear();
  for (const std::string& path : files) names.push_back(plat::ExtractFileName(path));
}

void RaiseMailOutcome(gui::TComponent* sender, std::uint32_t result,
                      const gui::TNotifyEvent& onSuccess, const gui::TNotifyEvent& onUserAbort,
                      const TMapiErrEvent& onMapiError) {
  if (result == plat::mapi::kSuccess) {
    if (onSuccess) onSuccess(sender);
  } else if (result == plat::mapi::kUserAbort) {
    if (onUserAbort) onUserAbort(sender);
  } else if (onMapiError) {
    onMapiError(sender, static_cast<std::int32_t>(result));
  }
}

TMapiControl::TMapiControl(gui::TComponent* owner) : TMapiControl(owner, plat::SystemMail()) {}

TMapiControl::TMapiControl(gui::TComponent* owner, plat::MailClient& mail)
    : TComponent(owner), mail_(mail) {}

TMapiControl::~TMapiControl() = default;

const std::vector<std::string>& TMapiControl::PublishedProperties() {
  static const std::vector<std::string> names = {
      "Subject",       "Body",            "FromName",   "FromAdress",  "Recipients",
      "CopyTo",        "BlindCopyTo",     "AttachedFiles", "DisplayFileName", "ShowDialog",
      "UseAppHandle",  "OnUserAbort",     "OnMapiError", "OnSuccess"};
  return names;
}

void TMapiControl::Send() {
  const plat::WindowRef parent = MainWindow();
  RebuildDisplayFileNames(attachedFiles_, displayFileName_);
  // The message owns every text it carries and is released on every way out of Send.
  const plat::MailMessage message =
      BuildMailMessage(Subject, Body, FromName, FromAdress, recipients_, copyTo_, blindCopyTo_,
                       attachedFiles_, displayFileName_);
  const std::uint32_t result =
      mail_.SendMail(parent, message, ShowDialog ? kDialogFlags : 0);
  RaiseMailOutcome(this, result, OnSuccess, OnUserAbort, OnMapiError);
}

}  // namespace net
