// Building the Simple MAPI message block.
#include "platform/win32/MapiMessage.h"

namespace plat::win32 {

namespace {

// MAPI takes non-const text pointers. An empty std::string still yields a valid pointer to its
// terminating zero, so empty texts reach the client as empty texts, never as null.
LPSTR Text(std::string& s) { return s.data(); }

MapiRecipDesc Describe(MailRecipient& r) {
  MapiRecipDesc d{};
  d.ulReserved = 0;
  d.ulRecipClass = r.recipClass;
  d.lpszName = Text(r.name);
  d.lpszAddress = Text(r.address);
  d.ulEIDSize = 0;
  d.lpEntryID = nullptr;
  return d;
}

}  // namespace

MapiMessageBlock::MapiMessageBlock(const MailMessage& message) : texts_(message) {
  originator_ = Describe(texts_.originator);

  recipients_.reserve(texts_.recipients.size());
  for (MailRecipient& r : texts_.recipients) recipients_.push_back(Describe(r));

  files_.reserve(texts_.files.size());
  for (MailAttachment& a : texts_.files) {
    MapiFileDesc f{};
    f.ulReserved = 0;
    f.flFlags = a.flags;
    f.nPosition = a.position;
    f.lpszPathName = Text(a.pathName);
    f.lpszFileName = Text(a.fileName);
    f.lpFileType = nullptr;
    files_.push_back(f);
  }

  mapi_.ulReserved = 0;
  mapi_.lpszSubject = Text(texts_.subject);
  mapi_.lpszNoteText = Text(texts_.noteText);
  mapi_.lpszMessageType = nullptr;
  mapi_.lpszDateReceived = nullptr;
  mapi_.lpszConversationID = nullptr;
  mapi_.flFlags = 0;
  mapi_.lpOriginator = &originator_;
  mapi_.nRecipCount = static_cast<ULONG>(recipients_.size());
  mapi_.lpRecips = recipients_.empty() ? nullptr : recipients_.data();
  mapi_.nFileCount = static_cast<ULONG>(files_.size());
  mapi_.lpFiles = files_.empty() ? nullptr : files_.data();
}

}  // namespace plat::win32
