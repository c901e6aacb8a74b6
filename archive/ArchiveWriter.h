// The archive writer: the packaging side of the payload format (BackupFormat.h has the byte
// map). It writes the header, the "FILE:LIST" catalogue as the first member, then every file
// member cut into kBlockSize pieces, each piece one complete zlib stream or stored as it is
// when compression does not shrink it, and the end-of-archive marker. It can split the archive
// into volumes of at most MaxSize bytes and append an archive to a stub executable followed by
// the 4-byte payload trailer.
//
// Encoding a piece is a pure function (EncodePiece). The writer hands pieces to a batch
// encoder in member order, so a multi-threaded encoder can be plugged in through
// WriterOptions::encodeBatch without touching the layout code.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/BackupFormat.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace archive {

// One file member to pack.
struct WriterMember {
  std::string name;              // stored name, e.g. "c:\nortavia\lumidesk\lumidesk.exe"
  std::uint32_t dosDateTime = 0;  // last write, DOS date-time (local time)
  std::int64_t size = 0;          // uncompressed size; the content must hold exactly this many bytes
  // Opens the content, positioned at its first byte. Called once, when the member is written.
  std::function<std::unique_ptr<plat::Stream>()> open;
};

// One piece of a member on its way into a block.
struct Piece {
  std::vector<std::uint8_t> raw;      // 1 to kBlockSize bytes
  std::vector<std::uint8_t> encoded;  // the block's Data, filled by the encoder
  bool stored = false;                // true: Data is raw (negative BlockLength)
};

// zlib's one-call compression of the piece (level, window bits 15, memory level 8, default
// strategy); stored instead when the compressed form is not shorter than the piece. Pure.
void EncodePiece(Piece& piece, int level);

// Encodes every piece of the batch (in any order, on any thread); the default runs
// EncodePiece on each in turn.
using BatchEncoder = std::function<void(std::vector<Piece>& batch, int level)>;
void EncodeSerially(std::vector<Piece>& batch, int level);

struct WriterOptions {
  std::string title;              // BackupTitle
  int level = kDefaultLevel;      // 0 to 9
  // Largest size of a volume in bytes; 0 writes one volume whatever its size.
  std::int64_t maxSize = 0;
  // DateTime of the catalogue member (readers ignore it); 0 takes the latest member date-time.
  std::uint32_t catalogueDateTime = 0;
  bool writeCatalogue = true;
  BatchEncoder encodeBatch;       // empty: EncodeSerially
  std::int32_t piecesPerBatch = 64;
  // Called after each block is written: uncompressed bytes done so far and in all (the
  // catalogue included). May be empty.
  std::function<void(std::int64_t done, std::int64_t total)> onProgress;
};

// What was written.
struct WriteSummary {
  std::int32_t totalSize = 0;      // the header's TotalSize
  std::int32_t fileCount = 0;      // the header's FileCount
  std::int64_t blockCount = 0;     // blocks written, the catalogue's included
  std::int64_t storedBlocks = 0;   // of which stored
  std::int64_t archiveBytes = 0;   // bytes of archive written over all volumes
  std::vector<std::string> volumes;  // volume paths (multi-volume output only)
};

// The catalogue text: one line per member, Name TAB DateTime "=" Size CR LF.
std::string CatalogueText(const std::vector<WriterMember>& members);

// Name of volume `disk` (2 to 999) of an archive whose first volume is firstVolume: its
// extension replaced by "." and the three digits ("out.lpk", 2 -> "out.002").
std::string VolumeName(const std::string& firstVolume, int disk);

class ArchiveWriter {
 public:
  explicit ArchiveWriter(WriterOptions options = WriterOptions(),
                         plat::FileSystem& fs = plat::RealFileSystem());

  // Writes the whole archive to out from its current position. options.maxSize must be 0.
  // Throws plat::Error naming the member on a content that is shorter or longer than its size,
  // when the archive's TotalSize would not fit 32 bits, and for a file named "FILE:LIST" or
  // "NEXT:DISK...", which readers would take for the catalogue or a volume marker.
  WriteSummary Write(const std::vector<WriterMember>& members, plat::Stream& out);

  // Writes the archive as volumes: firstVolume, then VolumeName(firstVolume, 2), ... each at
  // most options.maxSize bytes (0: one volume). Throws plat::Error when maxSize is too small to
  // hold a member's start or a block with the markers that must follow it.
  WriteSummary WriteVolumes(const std::vector<WriterMember>& members,
                            const std::string& firstVolume);

  // Writes the installer: the stub's bytes, the archive (one volume), the payload trailer
  // holding the archive's offset. Throws plat::Error when the offset does not fit 32 bits.
  WriteSummary WriteInstaller(plat::Stream& stub, const std::vector<WriterMember>& members,
                              plat::Stream& out);

 private:
  WriterOptions options_;
  plat::FileSystem& fs_;
};

}  // namespace archive
