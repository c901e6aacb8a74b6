// TMapiControl: a non-visual component that gathers one mail message (subject, body, sender,
// To/Cc/Bcc lists, attachments) and hands it in a single call to the system's mail client,
// reporting the outcome through one of three events.
//
// Send reads the properties when it runs and changes none of them except DisplayFileName. It
// shows nothing itself: success, a refusal (also a system without a mail client) and any other
// failure reach the caller only through OnSuccess, OnUserAbort and OnMapiError.
//
// The mail client is taken as an object (the platform's own by default) so that tests can hand
// in a double.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Mail.h"
#include "platform/gui/Component.h"

namespace net {

using TStringList = std::vector<std::string>;
using TMapiErrEvent = std::function<void(gui::TComponent* sender, std::int32_t ErrCode)>;

// Every recipient address is the entry with this prefix.
constexpr char kSmtpPrefix[] = "SMTP:";

// The mail client's flags for a message the user composes and logs on for in its dialogs.
constexpr std::uint32_t kDialogFlags =
    plat::mapi::kLogonUi | plat::mapi::kNewSession | plat::mapi::kDialog;

// The message as both mail components hand it over: the originator with class 0, the To, Cc
// and Bcc entries in this order with names as stored and addresses kSmtpPrefix + entry, and
// one attachment per file (path as given, file name from fileNames, position kNoPosition).
plat::MailMessage BuildMailMessage(const std::string& subject, const std::string& body,
                                   const std::string& fromName, const std::string& fromAddress,
                                   const TStringList& to, const TStringList& cc,
                                   const TStringList& bcc, const TStringList& files,
                                   const TStringList& fileNames);

// Replaces names by the file-name parts of files, in order. An empty files list leaves names
// as they are.
void RebuildDisplayFileNames(const TStringList& files, TStringList& names);

// Raises the outcome event that matches the client's result code.
void RaiseMailOutcome(gui::TComponent* sender, std::uint32_t result,
                      const gui::TNotifyEvent& onSuccess, const gui::TNotifyEvent& onUserAbort,
                      const TMapiErrEvent& onMapiError);

class TMapiControl : public gui::TComponent {
 public:
  explicit TMapiControl(gui::TComponent* owner);
  TMapiControl(gui::TComponent* owner, plat::MailClient& mail);
  ~TMapiControl() override;

  // Published properties, in their streaming order (after the inherited Name and Tag).
  static const std::vector<std::string>& PublishedProperties();

  std::string Subject;
  std::string Body;
  std::string FromName;
  std::string FromAdress;

  // The component owns its lists; the setters copy the caller's entries in place of the old.
  const TStringList& Recipients() const { return recipients_; }
  void SetRecipients(const TStringList& list) { recipients_ = list; }
  const TStringList& CopyTo() const { return copyTo_; }
  void SetCopyTo(const TStringList& list) { copyTo_ = list; }
  const TStringList& BlindCopyTo() const { return blindCopyTo_; }
  void SetBlindCopyTo(const TStringList& list) { blindCopyTo_ = list; }
  const TStringList& AttachedFiles() const { return attachedFiles_; }
  void SetAttachedFiles(const TStringList& list) { attachedFiles_ = list; }
  // File-name parts of AttachedFiles, rebuilt by a Send that has attachments.
  const TStringList& DisplayFileName() const { return displayFileName_; }

  bool ShowDialog = false;    // let the client show its logon and compose dialogs
  bool UseAppHandle = false;  // kept with the form's settings; Send does not read it

  gui::TNotifyEvent OnUserAbort;  // result 1
  TMapiErrEvent OnMapiError;      // any result but 0 and 1
  gui::TNotifyEvent OnSuccess;    // result 0

  // Hands the message to the client once, its dialogs parented to the application's main
  // window, and raises the matching event.
  void Send();

 private:
  plat::MailClient& mail_;
  TStringList recipients_;
  TStringList copyTo_;
  TStringList blindCopyTo_;
  TStringList attachedFiles_;
  TStringList displayFileName_;
};

}  // namespace net
