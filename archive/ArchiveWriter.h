// The archive writer: the packaging side of the payload format (BackupFormat.h has the byte
// map). It writes the header, the "FILE:LIST" catalogue as the first member, then every file
// member cut into kBlockSize pieces, each piece one complete zlib stream or stored as it is
// when compression does not shrink it, and the end-of-archive marker. It can split the archive
// into volumes of at most MaxSize bytes and append an archive to a stub executable followed by
// the 4-byte payload trailer.
//
// Encoding a piece is a pure function of the piece (EncodePiece). The writer reads pieces ahead,
// across member boundaries, and hands them to a PieceEncoder that gives them back in the same
// order; at most the encoder's window of pieces is held at a time, whatever the input's size. A
// multi-threaded encoder can be plugged in (WriterOptions::encoder) without touching the layout
// code, and the output stays the same byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/BackupFormat.h"
#include "archive/BlockCodec.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace archive {

// One file member to pack.
struct WriterMember {
  std::string name;              // stored name, e.g. "c:\nortavia\lumidesk\lumidesk.exe"
  std::uint32_t dosDateTime = 0;  // last write, DOS date-time (local time)
  std::int64_t size = 0;          // uncompressed size; the content must hold exactly this many bytes
  // Opens the content, positioned at its first byte. Called once, in member order, shortly
  // before the member is written (the writer reads a few pieces ahead).
  std::function<std::unique_ptr<plat::Stream>()> open;
};

// One piece of a member on its way into a block.
struct Piece {
  std::vector<std::uint8_t> raw;      // 1 to kBlockSize bytes
  std::vector<std::uint8_t> encoded;  // the block's Data, filled by the encoder
  bool stored = false;                // true: Data is raw (negative BlockLength)
};

// Deflates the piece with the deflater; stored instead when the compressed form is not
// shorter than the piece. With zlib's deflater the bytes are those of compress2 (level, window
// bits 15, memory level 8, default strategy).
void EncodePiece(Piece& piece, BlockDeflater& deflater);
// The same with a zlib deflater made for this one piece.
void EncodePiece(Piece& piece, int level);

// Encodes the pieces the writer hands over and gives them back, encoded, in the order they
// were handed over. The writer never holds more than Window() pieces handed over and not yet
// taken back.
class PieceEncoder {
 public:
  virtual ~PieceEncoder() = default;
  virtual std::size_t Window() const = 0;
  virtual void Submit(Piece piece) = 0;
  // The oldest piece not yet taken back, encoded. Throws what encoding it threw.
  virtual Piece Take() = 0;
};

// Encodes each piece on the caller's thread as it is taken back; a window of one piece.
class SerialEncoder : public PieceEncoder {
 public:
  SerialEncoder(const BlockCodec& codec, int level);
  std::size_t Window() const override { return 1; }
  void Submit(Piece piece) override;
  Piece Take() override;

 private:
  std::unique_ptr<BlockDeflater> deflater_;
  std::vector<Piece> pending_;
};

struct WriterOptions {
  std::string title;              // BackupTitle
  int level = kDefaultLevel;      // 0 to 9
  // Largest size of a volume in bytes; 0 writes one volume whatever its size.
  std::int64_t maxSize = 0;
  // DateTime of the catalogue member (readers ignore it); 0 takes the latest member date-time.
  std::uint32_t catalogueDateTime = 0;
  bool writeCatalogue = true;
  // The codec of the serial encoder; null: zlib. Not owned.
  const BlockCodec* codec = nullptr;
  // Encodes the pieces; null: a SerialEncoder with codec and level. Not owned; used by one
  // write at a time.
  PieceEncoder* encoder = nullptr;
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

class ArchiveWriter {
 public:
  explicit ArchiveWriter(WriterOptions options = WriterOptions(),
                         plat::FileSystem& fs = plat::RealFileSystem());

  // Writes the whole archive to out from its current position. options.maxSize must be 0.
  // Throws plat::Error naming the member on a content that is shorter or longer than its size,
  // when the archive's TotalSize would not fit 32 bits, and for a file named "FILE:LIST" or
  // "NEXT:DISK...", which readers would take for the catalogue or a volume marker.
  WriteSummary Write(const std::vector<WriterMember>& members, plat::Stream& out);

  // Writes the archive as volumes: firstVolume, then NextVolumeName(firstVolume, 2), ... each at
  // most options.maxSize bytes (0: one volume). Throws plat::Error when maxSize is too small to
  // hold a member's start or a block with the markers that must follow it.
  WriteSummary WriteVolumes(const std::vector<WriterMember>& members,
                            const std::string& firstVolume);

  // Writes the installer: the stub's bytes, 0 to 7 zero bytes, the archive (one volume), the
  // payload trailer holding the archive's offset, so that the file's size is a multiple of
  // kInstallerAlignment and signing it moves nothing. out must be readable as well (the archive
  // is moved up behind the zero bytes once its size is known). Throws plat::Error when the
  // offset does not fit 32 bits.
  WriteSummary WriteInstaller(plat::Stream& stub, const std::vector<WriterMember>& members,
                              plat::Stream& out);

 private:
  WriterOptions options_;
  plat::FileSystem& fs_;
};

}  // namespace archive
