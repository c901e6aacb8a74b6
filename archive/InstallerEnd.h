// Where an installer file's own bytes end. Signing a Windows program appends a certificate
// table after everything else and names it in the PE security directory (data directory 4 of
// the optional header, which holds a file offset and a size rather than an address). In a signed
// installer the payload trailer is therefore not the file's last 4 bytes but the 4 bytes before
// the certificate table:
//
//   [ image ][ 0-7 zero bytes ][ archive ][ u32 trailer ][ certificate table ]   <- end of file
//                                                        ^ logical end
//
// This is the one place that reads PE headers; every reader of an installer asks it where the
// trailer is.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Stream.h"

namespace archive {

struct InstallerEnd {
  // The payload trailer is the 4 bytes before this offset: the certificate table's start in a
  // signed installer, the file size otherwise.
  std::int64_t end = 0;
  // Offset and size of the certificate table the security directory names; size 0: unsigned.
  std::int64_t certificateTable = 0;
  std::int64_t certificateTableSize = 0;
  // Set when the security directory cannot belong to a sound installer: the table does not end
  // at the end of the file, or it starts inside the program's image or the archive. end is
  // then still the table's start where that lies within the file.
  std::string damage;

  bool Signed() const { return certificateTableSize != 0; }
};

// Reads the PE headers of an installer file (any position; the stream's position afterwards is
// unspecified). A file whose headers cannot be read as PE32 or PE32+ (too short, no "PE"
// signature, an optional header without data directory 4) has no security directory: its end
// is its size, as for any unsigned installer. Throws plat::StreamError only when the stream
// fails.
InstallerEnd FindInstallerEnd(plat::Stream& installer);

}  // namespace archive
