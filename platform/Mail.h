// Mail hand-off: one message given in a single call to the system's mail client (Simple MAPI
// MAPISendMail), answered by the client's result code.
//
// The message travels in neutral types; the Win32 implementation turns it into the client's
// own structures for the duration of the call. Texts are single-byte strings in the ANSI code
// page and are passed as they are, empty ones as empty texts.
//
// Win32: MAPI32.DLL from the Windows system folder, loaded once MAPI is known to be installed.
// Elsewhere a stand-in with no mail client. On both, a sink installed with SetMailSink takes the messages instead
// (tests capture them there).
//
// Components take a MailClient& so that tests can hand in a double; SystemMail() is the
// platform's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/WindowRef.h"

namespace plat {

namespace mapi {
// Recipient classes.
constexpr std::uint32_t kOrig = 0;
constexpr std::uint32_t kTo = 1;
constexpr std::uint32_t kCc = 2;
constexpr std::uint32_t kBcc = 3;
// MAPISendMail flags.
constexpr std::uint32_t kLogonUi = 0x01;
constexpr std::uint32_t kNewSession = 0x02;
constexpr std::uint32_t kDialog = 0x08;
// Result codes the components tell apart; any other value is an error.
constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kUserAbort = 1;
// Attachment position "not placed within the text" (all bits set).
constexpr std::uint32_t kNoPosition = 0xFFFFFFFFu;

// The installed-check reads at most this many bytes of the registry flag.
constexpr std::size_t kFlagBytes = 9;
constexpr char kMessagingKey[] = "SOFTWARE\\Microsoft\\Windows Messaging Subsystem";
constexpr char kFlagValue[] = "MAPI";
// Windows versions up to 3.51 keep the flag in the profile instead: section, integer entry.
constexpr char kProfileSection[] = "Mail";
constexpr char kProfileEntry[] = "MAPI";
constexpr wchar_t kLibraryName[] = L"MAPI32.DLL";
constexpr char kSendMailName[] = "MAPISendMail";

// Whether this Windows version keeps the flag in the registry: above 3.51.
constexpr bool UsesRegistryFlag(unsigned major, unsigned minor) {
  return major > 3 || (major == 3 && minor > 51);
}
// Whether the registry flag's data as read (size bytes) says "installed": the one-character
// text "1", with or without its terminating zero.
bool RegistryFlagSet(const std::uint8_t* data, std::size_t size);
}  // namespace mapi

struct MailRecipient {
  std::uint32_t recipClass = mapi::kTo;
  std::string name;
  std::string address;
};

struct MailAttachment {
  std::uint32_t flags = 0;
  std::uint32_t position = mapi::kNoPosition;
  std::string pathName;  // the file to attach
  std::string fileName;  // the name the recipient sees
};

// The message. Message type, date received and conversation id are always absent, the message
// flags 0, and attachments carry no file type.
struct MailMessage {
  std::string subject;
  std::string noteText;
  MailRecipient originator{mapi::kOrig, {}, {}};
  std::vector<MailRecipient> recipients;
  std::vector<MailAttachment> files;
};

class MailClient {
 public:
  virtual ~MailClient() = default;
  // MAPISendMail with no session and reserved 0; parent owns the client's dialogs. Answers the
  // client's result code; kUserAbort when no mail client is available. Never throws for a
  // refused or failed mail.
  virtual std::uint32_t SendMail(WindowRef parent, const MailMessage& message,
                                 std::uint32_t flags) = 0;
};

// The platform's mail client: the installed sink when there is one, otherwise
// NativeSendMail.
MailClient& SystemMail();

// Replaces the system's mail client for the whole process (tests capture messages here; an
// empty sink restores the platform's own). Returns the previous sink.
using MailSink =
    std::function<std::uint32_t(WindowRef parent, const MailMessage& message, std::uint32_t flags)>;
MailSink SetMailSink(MailSink sink);

// The platform's own client, whatever sink is installed (standin/ and win32/Mail.cpp). The
// stand-in has no mail client and answers kUserAbort.
std::uint32_t NativeSendMail(WindowRef parent, const MailMessage& message, std::uint32_t flags);

}  // namespace plat
