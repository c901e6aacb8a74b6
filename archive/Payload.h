// Locating the payload of an installer: the kTrailerSize bytes before the file's logical end
// (its last bytes, or those before the certificate table of a signed installer: InstallerEnd.h)
// hold the archive's absolute offset, unsigned little-endian.
#pragma once

#include <cstdint>

#include "platform/Stream.h"

namespace archive {

// Reads the trailer at the logical end - 4 and positions the stream at the offset it holds (not
// compared with the file size: a wrong offset is the archive reader's to find). Returns it.
// Throws plat::StreamError when fewer than 4 bytes can be read.
std::uint32_t LocatePayload(plat::Stream& installer);

// Reads the trailer without moving to the payload; leaves the stream after the trailer.
std::uint32_t ReadPayloadTrailer(plat::Stream& installer);

// Writes the 4-byte trailer holding offset.
void WritePayloadTrailer(plat::Stream& out, std::uint32_t offset);

// Little-endian 32-bit helpers shared by the archive code.
inline std::uint32_t LoadLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void StoreLe32(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = static_cast<std::uint8_t>(v >> 16);
  p[3] = static_cast<std::uint8_t>(v >> 24);
}

}  // namespace archive
