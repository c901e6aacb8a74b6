// Locating the payload of an installer: the kTrailerSize bytes before the file's logical end
// (its last bytes, or those before the certificate table of a signed installer: InstallerEnd.h)
// hold the archive's absolute offset, unsigned little-endian (BackupFormat.h).
#pragma once

#include <cstdint>

#include "archive/BackupFormat.h"
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

}  // namespace archive
