// The Simple MAPI block built from a message: every field the client reads, empty texts as
// valid empty strings, absent ones as null, and pointers into the block's own copies.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/win32/MapiMessage.h"

namespace {

plat::MailMessage CardLikeMessage() {
  plat::MailMessage m;
  m.subject = "Scheda statistica Zentaro";
  m.noteText = "<Cognome>Rossi</Cognome>\r\n";
  m.originator = {plat::mapi::kOrig, "Rossi Mario", ""};
  m.recipients = {{1, "a", "SMTP:a"}, {2, "b", "SMTP:b"}, {3, "c", "SMTP:c"}};
  m.files = {{0, plat::mapi::kNoPosition, "c:\\x\\y.txt", "y.txt"}};
  return m;
}

TEST(Win32MapiMessage, FieldsOfTheMessageAndItsDescriptors) {
  auto block = std::make_unique<plat::win32::MapiMessageBlock>(CardLikeMessage());
  const MapiMessage& m = *block->Get();
  EXPECT_EQ(m.ulReserved, 0u);
  EXPECT_STREQ(m.lpszSubject, "Scheda statistica Zentaro");
  EXPECT_STREQ(m.lpszNoteText, "<Cognome>Rossi</Cognome>\r\n");
  EXPECT_EQ(m.lpszMessageType, nullptr);
  EXPECT_EQ(m.lpszDateReceived, nullptr);
  EXPECT_EQ(m.lpszConversationID, nullptr);
  EXPECT_EQ(m.flFlags, 0u);

  ASSERT_NE(m.lpOriginator, nullptr);
  EXPECT_EQ(m.lpOriginator->ulRecipClass, static_cast<ULONG>(MAPI_ORIG));
  EXPECT_STREQ(m.lpOriginator->lpszName, "Rossi Mario");
  ASSERT_NE(m.lpOriginator->lpszAddress, nullptr);
  EXPECT_STREQ(m.lpOriginator->lpszAddress, "");
  EXPECT_EQ(m.lpOriginator->ulEIDSize, 0u);
  EXPECT_EQ(m.lpOriginator->lpEntryID, nullptr);

  ASSERT_EQ(m.nRecipCount, 3u);
  const ULONG classes[] = {MAPI_TO, MAPI_CC, MAPI_BCC};
  const char* names[] = {"a", "b", "c"};
  for (ULONG i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const MapiRecipDesc& r = m.lpRecips[i];
    EXPECT_EQ(r.ulReserved, 0u);
    EXPECT_EQ(r.ulRecipClass, classes[i]);
    EXPECT_STREQ(r.lpszName, names[i]);
    EXPECT_EQ(std::string(r.lpszAddress), std::string("SMTP:") + names[i]);
    EXPECT_EQ(r.ulEIDSize, 0u);
    EXPECT_EQ(r.lpEntryID, nullptr);
  }

  ASSERT_EQ(m.nFileCount, 1u);
  const MapiFileDesc& f = m.lpFiles[0];
  EXPECT_EQ(f.ulReserved, 0u);
  EXPECT_EQ(f.flFlags, 0u);
  EXPECT_EQ(f.nPosition, 0xFFFFFFFFu);
  EXPECT_STREQ(f.lpszPathName, "c:\\x\\y.txt");
  EXPECT_STREQ(f.lpszFileName, "y.txt");
  EXPECT_EQ(f.lpFileType, nullptr);
}

TEST(Win32MapiMessage, EmptyTextsAreEmptyStringsNotNull) {
  plat::win32::MapiMessageBlock block{plat::MailMessage{}};
  const MapiMessage& m = *block.Get();
  ASSERT_NE(m.lpszSubject, nullptr);
  ASSERT_NE(m.lpszNoteText, nullptr);
  ASSERT_NE(m.lpOriginator, nullptr);
  ASSERT_NE(m.lpOriginator->lpszName, nullptr);
  ASSERT_NE(m.lpOriginator->lpszAddress, nullptr);
  EXPECT_EQ(m.lpszSubject[0], '\0');
  EXPECT_EQ(m.lpszNoteText[0], '\0');
  EXPECT_EQ(m.lpOriginator->lpszName[0], '\0');
  EXPECT_EQ(m.lpOriginator->lpszAddress[0], '\0');
  EXPECT_EQ(m.nRecipCount, 0u);
  EXPECT_EQ(m.nFileCount, 0u);
  EXPECT_EQ(m.lpFiles, nullptr);
}

TEST(Win32MapiMessage, TextsOutliveTheMessageTheyWereBuiltFrom) {
  auto source = std::make_unique<plat::MailMessage>(CardLikeMessage());
  plat::win32::MapiMessageBlock block(*source);
  source.reset();
  const MapiMessage& m = *block.Get();
  EXPECT_STREQ(m.lpszSubject, "Scheda statistica Zentaro");
  EXPECT_STREQ(m.lpRecips[2].lpszAddress, "SMTP:c");
  EXPECT_STREQ(m.lpFiles[0].lpszFileName, "y.txt");
}

}  // namespace
