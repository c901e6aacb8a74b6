// The portable part of the mail layer: the replaceable sink in front of the platform's client,
// and reading the installed flag.
#include "platform/Mail.h"

#include <utility>

namespace plat {

namespace {

MailSink& CurrentSink() {
  static MailSink sink;
  return sink;
}

class SystemMailClient : public MailClient {
 public:
  std::uint32_t SendMail(WindowRef parent, const MailMessage& message,
                         std::uint32_t flags) override {
    if (const MailSink& sink = CurrentSink()) return sink(parent, message, flags);
    return NativeSendMail(parent, message, flags);
  }
};

}  // namespace

MailClient& SystemMail() {
  static SystemMailClient client;
  return client;
}

MailSink SetMailSink(MailSink sink) { return std::exchange(CurrentSink(), std::move(sink)); }

namespace mapi {

bool RegistryFlagSet(const std::uint8_t* data, std::size_t size) {
  if (!data || size == 0 || data[0] != '1') return false;
  // A string value normally ends with its zero, but the registry does not insist on it.
  return size == 1 || data[1] == 0;
}

}  // namespace mapi
}  // namespace plat
