// The payload trailer of an installer file.
#include "archive/Payload.h"

#include "archive/InstallerEnd.h"

namespace archive {

std::uint32_t ReadPayloadTrailer(plat::Stream& installer) {
  // A security directory that cannot be right is the strict walk's to report; the trailer is
  // still looked for where the directory says the file's own bytes end.
  const std::int64_t end = FindInstallerEnd(installer).end;
  return FormatReader(EngineFaults(), installer, 0, end).ReadTrailer();
}

std::uint32_t LocatePayload(plat::Stream& installer) {
  const std::uint32_t offset = ReadPayloadTrailer(installer);
  installer.Seek(offset, plat::Stream::Origin::Begin);
  return offset;
}

void WritePayloadTrailer(plat::Stream& out, std::uint32_t offset) {
  std::uint8_t bytes[kTrailerSize];
  StoreLe32(bytes, offset);
  out.WriteBuffer(bytes, kTrailerSize);
}

}  // namespace archive
