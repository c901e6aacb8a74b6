// Network probes.
#pragma once

namespace plat {

// Whether the local host name resolves to an address other than the loopback one. The address
// that counts is the last one the resolver lists; its dotted text must be non-empty and differ
// from "127.0.0.1". Any failure (sockets start-up, host name, resolution) answers false.
bool ProbeHost();

}  // namespace plat
