// No Simple MAPI here: the answer is that of a system without a mail client. Messages reach a
// test only through the sink (platform/Mail.cpp).
#include "platform/Mail.h"

namespace plat {

std::uint32_t NativeSendMail(WindowRef, const MailMessage&, std::uint32_t) {
  return mapi::kUserAbort;
}

}  // namespace plat
