// The payload archive format: one definition of its bytes, and the one layer that reads them.
// The reader (BackupFile), the strict walk (ArchiveWalker), the writer (ArchiveWriter) and the
// packager all draw the format from here.
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
//
// The reading layer (FormatReader, below) reads these records from one volume's bytes and checks
// every length against what is left before it allocates or reads anything. It judges nothing
// beyond what a read needs: where the bytes cannot be read as the record (too few left, a
// length past the end, a wrong signature, a block longer than a piece) it hands a FormatFault to
// the reader's FaultPolicy, which raises it as that reader's exception; what can still be read
// (a negative name length, a volume marker, a damaged zlib stream) it returns, and each reader
// decides. The restore engine is lenient over it, the strict walk is not.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Error.h"
#include "platform/Stream.h"

namespace archive {

// Every integer field: lengths, counts, date-times, the trailer.
constexpr std::int32_t kIntSize = 4;
// Uncompressed bytes per block, and the most a block's Data may hold.
constexpr std::int32_t kBlockSize = 16384;

constexpr char kSignature[4] = {'E', 'C', '2', '\0'};
constexpr char kCatalogueName[] = "FILE:LIST";
constexpr char kVolumeMarkerPrefix[] = "NEXT:DISK";
constexpr std::int32_t kVolumeMarkerPrefixLength = 9;
constexpr std::int32_t kVolumeMarkerLength = 12;  // the prefix and three digits
constexpr int kMaxDisk = 999;
constexpr std::int32_t kTrailerSize = kIntSize;
// What signing a Windows program pads the file to before it appends the certificate table; an
// installer of this size already gets no padding, so its archive and trailer stay where they are.
constexpr std::int64_t kInstallerAlignment = 8;
constexpr char kStreamArchiveName[] = ":STREAM";
constexpr char kComponentVersion[] = "5.10";

static_assert(sizeof kSignature == kIntSize, "the member signature is four bytes");
static_assert(sizeof kVolumeMarkerPrefix - 1 == kVolumeMarkerPrefixLength, "marker prefix");

// The bytes each record takes, as the writer lays them out and keeps room for them.
constexpr std::int64_t HeaderBytes(std::int64_t titleLength) {
  return kIntSize + titleLength + kIntSize + kIntSize;
}
// NameLength, Name, DateTime, Signature: what comes before a member's first block.
constexpr std::int64_t MemberHeadBytes(std::int64_t nameLength) {
  return kIntSize + nameLength + kIntSize + kIntSize;
}
constexpr std::int64_t BlockBytes(std::int64_t dataLength) { return kIntSize + dataLength; }
constexpr std::int64_t kEndMarkerBytes = kIntSize;  // end of member, end of archive
constexpr std::int64_t kVolumeMarkerBytes = kIntSize + kVolumeMarkerLength;

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

// ---- little-endian integers ----

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

// ---- records ----

struct ArchiveHeader {
  std::string title;
  std::int32_t totalSize = 0;
  std::int32_t fileCount = 0;
};

// What stands where a member may begin: its NameLength and, for a positive one, its Name. A
// member's DateTime is read apart (FormatReader::ReadDateTime), since a walk that has read the
// members it wants stops at the next name; its data follow (ReadSignature and the blocks).
struct MemberHead {
  enum class Kind {
    kEnd,             // NameLength 0: the end-of-archive marker
    kNegativeLength,  // NameLength < 0: no name follows
    kVolumeMarker,    // a name beginning with "NEXT:DISK"
    kMember,
  };
  Kind kind = Kind::kEnd;
  std::int64_t offset = 0;  // of the NameLength in the file
  std::int32_t nameLength = 0;
  std::string name;
};

struct BlockHead {
  std::int64_t offset = 0;  // of the BlockLength in the file
  std::int32_t length = 0;  // BlockLength as stored

  bool End() const { return length == 0; }
  bool Stored() const { return length < 0; }
  // The Data's size; 64 bits, since the most negative length has no 32-bit absolute value.
  std::int64_t DataSize() const {
    return length < 0 ? -static_cast<std::int64_t>(length) : length;
  }
};

// Whether a name read where a member may begin is a volume marker: it begins with "NEXT:DISK".
bool IsVolumeMarkerName(const std::string& name);
// The disk a volume marker names, or -1 unless it is "NEXT:DISK" and exactly three digits (any
// other length would open a file under other digits than the disk it asks for).
int VolumeMarkerDisk(const std::string& name);
// The marker's name for disk (0 to kMaxDisk).
std::string VolumeMarkerName(int disk);
// The file a marker naming disk (0 to kMaxDisk) sends a reader to from volume: the volume's
// name with its extension replaced by "." and the three digits ("out.lpk", 2 -> "out.002").
// The writer names its volumes by the same rule.
std::string NextVolumeName(const std::string& volume, int disk);

// ---- reading ----

// Where a read cannot go on. offset is where the field (or the length naming it) stands in the
// file, length what the field needs or the length read, left the bytes left at the fault.
struct FormatFault {
  enum class Kind {
    kTruncated,            // fewer bytes left than the field needs
    kNegativeTitleLength,
    kTitleTooLong,         // a title length beyond the bytes left
    kNameTooLong,          // a member name length beyond the bytes left
    kBadSignature,         // bytes holds the four read
    kBlockTooLong,         // Data longer than kBlockSize
    kBlockTruncated,       // Data beyond the bytes left
  };
  Kind kind = Kind::kTruncated;
  const char* field = "";
  std::int64_t offset = 0;
  std::int64_t length = 0;
  std::int64_t left = 0;
  std::uint8_t bytes[kIntSize] = {};
};

// The stream call that failed, for a policy that names it.
enum class StreamCall { kRead, kSkip, kMove };

// How a reader of the format fails. Both calls raise an exception and never return.
class FaultPolicy {
 public:
  virtual void Fault(const FormatFault& fault) = 0;
  // Called inside the handler of the stream's error, so that `throw;` passes it on unchanged.
  virtual void StreamFailed(StreamCall call, const char* field, std::int64_t offset,
                            const plat::Error& error) = 0;

 protected:
  ~FaultPolicy() = default;
};

// The restore engine's faults, as a stream's own reads would give them: too few bytes is
// plat::StreamError("Stream read error"), a wrong signature or an oversized block
// plat::Error("Invalid archive type"), a failing stream call its own error.
FaultPolicy& EngineFaults();

// Reads the records of one volume's bytes [position, end) from a stream standing at position.
// Positions are counted here, not asked of the stream, so that every bound is checked against
// the known end before the stream is touched.
class FormatReader {
 public:
  FormatReader(FaultPolicy& policy, plat::Stream& stream, std::int64_t position, std::int64_t end);
  // From the stream's position to its size.
  FormatReader(FaultPolicy& policy, plat::Stream& stream);

  std::int64_t Position() const { return position_; }
  std::int64_t End() const { return end_; }
  void SetEnd(std::int64_t end) { end_ = end; }
  std::int64_t Remaining() const { return position_ <= end_ ? end_ - position_ : 0; }

  // Fields; field names the field for the policy's messages.
  std::int32_t ReadInt(const char* field);
  void ReadBytes(void* buffer, std::int32_t n, const char* field);
  void Skip(std::int64_t n, const char* field);
  void MoveTo(std::int64_t position, const char* field);

  // TitleLength, Title, TotalSize, FileCount. Each is stored once it is read whole, so that a
  // header cut short leaves what stood before the cut.
  void ReadHeader(std::string& title, std::int32_t& totalSize, std::int32_t& fileCount);
  MemberHead ReadMemberHead();
  std::uint32_t ReadDateTime();
  // The member signature that begins a member's data and every continuation.
  void ReadSignature();
  // A BlockLength whose Data the bytes left hold and a piece may hold.
  BlockHead ReadBlockHead();
  void ReadBlockData(const BlockHead& block, std::uint8_t* buffer);
  void SkipBlockData(const BlockHead& block);
  // The payload trailer: the kTrailerSize bytes before End(), unsigned.
  std::uint32_t ReadTrailer();

 private:
  [[noreturn]] void Raise(FormatFault::Kind kind, const char* field, std::int64_t offset,
                          std::int64_t length, const std::uint8_t* bytes = nullptr);
  [[noreturn]] void Failed(StreamCall call, const char* field, std::int64_t offset,
                           const plat::Error& error);

  FaultPolicy* policy_;
  plat::Stream* stream_;
  std::int64_t position_;
  std::int64_t end_;
};

}  // namespace archive
