// The host probe over Windows Sockets 1.1: start-up, host name, resolution, dotted text of each
// listed address (the last one counts), and exactly one clean-up per successful start-up.
#include <winsock2.h>

#include <string>

#include "platform/Net.h"

namespace plat {

namespace {
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data;
    started_ = WSAStartup(0x0101, &data) == 0;
  }
  ~WinsockSession() {
    if (started_) WSACleanup();
  }
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  bool Started() const { return started_; }

 private:
  bool started_ = false;
};
}  // namespace

bool ProbeHost() {
  WinsockSession session;
  if (!session.Started()) return false;
  constexpr int kHostNameLength = 64;
  char name[kHostNameLength + 1] = {};
  if (gethostname(name, kHostNameLength) != 0) return false;
  name[kHostNameLength] = '\0';
  const hostent* host = gethostbyname(name);
  if (!host || !host->h_addr_list) return false;
  std::string text;
  for (char** addr = host->h_addr_list; *addr; ++addr) {
    in_addr a;
    a.s_addr = *reinterpret_cast<const u_long*>(*addr);
    const char* dotted = inet_ntoa(a);
    text = dotted ? dotted : "";
  }
  return !text.empty() && text != "127.0.0.1";
}

}  // namespace plat
