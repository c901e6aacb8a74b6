// The payload archive format: one definition of its bytes, shared by the reader
// (BackupFile), the writer (ArchiveWriter) and the packager.
//
// Every integer is 32 bits, little-endian; lengths are signed, date-times and the trailer
// unsigned. Texts carry their length in front and no terminating zero. No alignment, no filler.
//
//   installer file:  [ executable image ][ 0-7 zero bytes ][ archive ][ u32 P : payload trailer ]
//                    P is the archive's offset; the zero bytes make the file's size a multiple
//                    of kInstallerAlignment. Signing appends a certificate table after the
//                    trailer, which then ends the file's own bytes (InstallerEnd.h).
//
//   archive:         i32 TitleLength | Title | i32 TotalSize | i32 FileCount | member* | i32 0
//   member:          i32 NameLength (> 0) | Name | u32 DosDateTime | "EC2\0" | block* | i32 0
//   block:           i32 BlockLength | Data[|BlockLength|]
//                      > 0: one complete zlib stream inflating to the piece
//                      < 0: the piece stored as it is
//                      = 0: end of member
//   volume marker:   i32 12 | "NEXT:DISK" ddd   (nothing else follows on that volume; the next
//                    volume, named with extension ".ddd", starts with the member's continuation:
//                    "EC2\0" | block* | i32 0, and no archive header)
//
// TotalSize counts the uncompressed bytes of every member, catalogue included. The first
// member may be the catalogue "FILE:LIST": one line per file member,
// Name TAB DosDateTime "=" Size CR LF.
#pragma once

#include <cstdint>

namespace archive {

// Uncompressed bytes per block, and the most a block's Data may hold.
constexpr std::int32_t kBlockSize = 16384;

constexpr char kSignature[4] = {'E', 'C', '2', '\0'};
constexpr char kSignatureText[] = "EC2";
constexpr char kCatalogueName[] = "FILE:LIST";
constexpr char kVolumeMarkerPrefix[] = "NEXT:DISK";
constexpr std::int32_t kVolumeMarkerPrefixLength = 9;
constexpr std::int32_t kVolumeMarkerLength = 12;
constexpr std::int32_t kTrailerSize = 4;
// What signing a Windows program pads the file to before it appends the certificate table; an
// installer of this size already gets no padding, so its archive and trailer stay where they are.
constexpr std::int64_t kInstallerAlignment = 8;
constexpr char kStreamArchiveName[] = ":STREAM";
constexpr char kComponentVersion[] = "5.10";

// The version text the reader hands to inflateInit_.
constexpr char kZlibVersionText[] = "1.1.3";
// Compression of every block: zlib's one-call compression with these parameters.
constexpr int kDefaultLevel = 1;
constexpr int kWindowBits = 15;
constexpr int kMemLevel = 8;

// Error codes of the archive component, and their messages.
enum ErrorCodes : std::int32_t {
  kErrNone = 0,
  kErrReadFile = 1,
  kErrOverwrite = 2,
  kErrReadArchive = 3,
  kErrWriteArchive = 4,
  kErrInvalidArchive = 5,
  kErrCompression = 6,
  kErrTempFile = 7,
};

constexpr const char* kErrorMessages[] = {
    "",
    "Cannot read file",
    "Overwriting file failed",
    "Cannot read archive",
    "Cannot write to archive",
    "Invalid archive type",
    "Compression error",
    "Cannot create temporary file to save the file IDs",
};

inline const char* ErrorMessage(std::int32_t code) {
  return (code >= 1 && code <= 7) ? kErrorMessages[code] : "";
}

constexpr char kDiskPrompt[] = "Please insert disk %s and click OK to continue.";
constexpr char kDiskPromptTitle[] = "Information";
constexpr char kErrorTitle[] = "Error";

}  // namespace archive
