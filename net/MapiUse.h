// TMapiUse: the twin of TMapiControl with its own setter names and send operation. It differs
// in three points: InviaMail refuses a message without any recipient (a stop box, no call, no
// event), the client's dialogs get no parent window, and Reset empties the message.
#pragma once

#include <string>
#include <vector>

#include "net/MapiControl.h"
#include "platform/Mail.h"
#include "platform/gui/Component.h"

namespace net {

// The stop box InviaMail shows when there is no recipient.
constexpr char kNoRecipientText[] = "Nessun destinatario";
constexpr char kNoRecipientTitle[] = "Stop";

class TMapiUse : public gui::TComponent {
 public:
  explicit TMapiUse(gui::TComponent* owner);
  TMapiUse(gui::TComponent* owner, plat::MailClient& mail);
  ~TMapiUse() override;

  // Published properties, in their streaming order: those of TMapiControl.
  static const std::vector<std::string>& PublishedProperties();

  std::string Subject;
  std::string Body;
  std::string FromName;
  std::string FromAdress;

  const TStringList& Recipients() const { return recipients_; }
  void SetToAddr(const TStringList& list) { recipients_ = list; }
  const TStringList& CopyTo() const { return copyTo_; }
  void SetCCAddr(const TStringList& list) { copyTo_ = list; }
  const TStringList& BlindCopyTo() const { return blindCopyTo_; }
  void SetBCCAddr(const TStringList& list) { blindCopyTo_ = list; }
  const TStringList& AttachedFiles() const { return attachedFiles_; }
  void SetAttachedFileName(const TStringList& list) { attachedFiles_ = list; }
  const TStringList& DisplayFileName() const { return displayFileName_; }

  bool ShowDialog = false;
  bool UseAppHandle = false;  // not read by InviaMail

  gui::TNotifyEvent OnUserAbort;
  TMapiErrEvent OnMapiError;
  gui::TNotifyEvent OnSuccess;

  // As TMapiControl::Send, but with no parent window, and nothing at all happens beyond the
  // stop box when To, Cc and Bcc are all empty.
  void InviaMail();
  // Empties the four texts and all five lists.
  void Reset();

 private:
  plat::MailClient& mail_;
  TStringList recipients_;
  TStringList copyTo_;
  TStringList blindCopyTo_;
  TStringList attachedFiles_;
  TStringList displayFileName_;
};

}  // namespace net
