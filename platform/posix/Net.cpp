// The host probe over the C library's resolver (gethostname, gethostbyname, inet_ntoa), the
// same calls and the same "last address wins" rule as the Winsock version, without the sockets
// library start-up that POSIX does not need.
#include "platform/Net.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace plat {

bool ProbeHost() {
  constexpr int kHostNameLength = 64;
  char name[kHostNameLength + 1] = {};
  if (gethostname(name, kHostNameLength) != 0) return false;
  name[kHostNameLength] = '\0';  // a truncated name need not be terminated
  const hostent* host = gethostbyname(name);
  if (!host || host->h_addrtype != AF_INET || !host->h_addr_list) return false;
  std::string text;
  for (char** addr = host->h_addr_list; *addr; ++addr) {
    in_addr a;
    std::memcpy(&a, *addr, sizeof a);
    text = inet_ntoa(a);  // each conversion replaces the previous one
  }
  return !text.empty() && text != "127.0.0.1";
}

}  // namespace plat
