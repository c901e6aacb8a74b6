// The Simple MAPI form of a mail message: the MapiMessage with its originator, recipient and
// attachment descriptors, built from the neutral message. The block owns copies of every text
// and every array it points to, so all pointers stay valid for as long as the block lives and
// everything is released with it on every path.
#pragma once

#include <windows.h>
#include <mapi.h>

#include <string>
#include <vector>

#include "platform/Mail.h"

namespace plat::win32 {

class MapiMessageBlock {
 public:
  explicit MapiMessageBlock(const MailMessage& message);
  MapiMessageBlock(const MapiMessageBlock&) = delete;
  MapiMessageBlock& operator=(const MapiMessageBlock&) = delete;

  MapiMessage* Get() { return &mapi_; }

 private:
  MailMessage texts_;  // the copies the descriptors point into
  MapiRecipDesc originator_{};
  std::vector<MapiRecipDesc> recipients_;
  std::vector<MapiFileDesc> files_;
  MapiMessage mapi_{};
};

}  // namespace plat::win32
