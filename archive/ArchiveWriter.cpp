// The archive writer. Everything is written through one Emitter that knows how much room the
// current volume has left, so that the layout code can keep room for the markers that must
// close a volume: a block is only written when the end-of-member marker and a volume marker
// still fit after it.
#include "archive/ArchiveWriter.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <utility>

#include "archive/Payload.h"
#include "platform/Error.h"

namespace archive {

namespace {

constexpr std::int32_t kIntSize = 4;
// What must still fit after any unit inside a member: its end-of-member marker and a volume
// marker (NameLength + "NEXT:DISK" + three digits). It also covers the end-of-archive marker.
constexpr std::int64_t kCloseReserve = kIntSize + kIntSize + kVolumeMarkerLength;
constexpr int kMaxDisk = 999;

static_assert(sizeof(kSignature) == 4, "the member signature is four bytes");
static_assert(sizeof(kVolumeMarkerPrefix) - 1 == kVolumeMarkerPrefixLength, "marker prefix");

class Emitter {
 public:
  using VolumeOpener = std::function<plat::Stream&(int disk)>;

  Emitter(plat::Stream& first, std::int64_t limit, VolumeOpener next)
      : out_(&first), limit_(limit), next_(std::move(next)) {}

  bool Fits(std::int64_t n) const { return limit_ == 0 || (used_ <= limit_ && n <= limit_ - used_); }

  void Put(const void* data, std::size_t n) {
    if (n > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw plat::Error("Cannot write to archive");
    }
    out_->WriteBuffer(data, static_cast<std::int32_t>(n));
    used_ += static_cast<std::int64_t>(n);
    total_ += static_cast<std::int64_t>(n);
  }
  void PutInt(std::int32_t v) {
    std::uint8_t b[kIntSize];
    StoreLe32(b, static_cast<std::uint32_t>(v));
    Put(b, sizeof b);
  }
  void PutText(const std::string& s) {
    PutInt(static_cast<std::int32_t>(s.size()));
    Put(s.data(), s.size());
  }

  // Writes the volume marker and continues on the next volume.
  void NextVolume() {
    if (!next_) throw plat::Error("Cannot write to archive: a volume size needs a file name");
    if (disk_ >= kMaxDisk) throw plat::Error("Cannot write to archive: more than 999 volumes");
    ++disk_;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%03d", disk_);
    PutText(std::string(kVolumeMarkerPrefix) + digits);
    out_ = &next_(disk_);
    used_ = 0;
  }

  std::int64_t Total() const { return total_; }

 private:
  plat::Stream* out_;
  std::int64_t limit_;
  VolumeOpener next_;
  std::int64_t used_ = 0;
  std::int64_t total_ = 0;
  int disk_ = 1;
};

// Reads until count bytes or the end: a stream may hand over less than asked at a time.
std::int32_t ReadFully(plat::Stream& s, std::uint8_t* buffer, std::int32_t count) {
  std::int32_t done = 0;
  while (done < count) {
    const std::int32_t n = s.Read(buffer + done, count - done);
    if (n <= 0) break;
    done += n;
  }
  return done;
}

class Layout {
 public:
  Layout(const WriterOptions& options, Emitter& emit, WriteSummary& summary)
      : options_(options), emit_(emit), summary_(summary) {}

  void Write(const std::vector<WriterMember>& members) {
    std::int64_t total = 0;
    std::string catalogue;
    if (options_.writeCatalogue) {
      catalogue = CatalogueText(members);
      total = static_cast<std::int64_t>(catalogue.size());
    }
    for (const WriterMember& m : members) {
      // A file under a reserved name would be read back as the catalogue or a volume change.
      if (m.name == kCatalogueName ||
          m.name.compare(0, kVolumeMarkerPrefixLength, kVolumeMarkerPrefix) == 0) {
        throw plat::Error("Cannot write to archive: \"" + m.name + "\" is a reserved name");
      }
      if (m.size < 0 || m.size > std::numeric_limits<std::int32_t>::max() - total) {
        throw plat::Error("Cannot write to archive: the files of \"" + m.name +
                          "\" and before it exceed 2 GB");
      }
      total += m.size;
    }
    if (members.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw plat::Error("Cannot write to archive: too many files");
    }
    total_ = total;
    summary_.totalSize = static_cast<std::int32_t>(total);
    summary_.fileCount = static_cast<std::int32_t>(members.size());

    // archive header: TitleLength, Title, TotalSize, FileCount
    const std::int64_t headerBytes =
        kIntSize + static_cast<std::int64_t>(options_.title.size()) + 2 * kIntSize;
    if (!emit_.Fits(headerBytes + kIntSize)) throw TooSmall();
    emit_.PutText(options_.title);
    emit_.PutInt(summary_.totalSize);
    emit_.PutInt(summary_.fileCount);

    if (options_.writeCatalogue) {
      std::uint32_t when = options_.catalogueDateTime;
      if (when == 0) {
        for (const WriterMember& m : members) when = std::max(when, m.dosDateTime);
      }
      plat::MemoryStream text(std::vector<std::uint8_t>(catalogue.begin(), catalogue.end()));
      WriteMember(kCatalogueName, when, static_cast<std::int64_t>(catalogue.size()), text);
    }
    for (const WriterMember& m : members) {
      if (!m.open) throw plat::Error("Cannot read file \"" + m.name + "\": no content");
      std::unique_ptr<plat::Stream> content = m.open();
      if (!content) throw plat::Error("Cannot read file \"" + m.name + "\"");
      WriteMember(m.name, m.dosDateTime, m.size, *content);
    }
    emit_.PutInt(0);  // end-of-archive marker
    summary_.archiveBytes = emit_.Total();
  }

 private:
  static plat::Error TooSmall() {
    return plat::Error("Cannot write to archive: the volume size is too small");
  }

  void WriteMember(const std::string& name, std::uint32_t when, std::int64_t size,
                   plat::Stream& content) {
    if (name.empty()) throw plat::Error("Cannot write to archive: a file has no name");
    const std::int64_t startBytes = kIntSize + static_cast<std::int64_t>(name.size()) + 2 * kIntSize;
    if (!emit_.Fits(startBytes + kCloseReserve)) {
      // The volume ends between two members: the previous member gets an empty continuation
      // on the next volume. Before any member there is nothing to continue.
      if (!anyMember_) throw TooSmall();
      emit_.NextVolume();
      emit_.Put(kSignature, sizeof kSignature);
      emit_.PutInt(0);
      if (!emit_.Fits(startBytes + kCloseReserve)) throw TooSmall();
    }
    anyMember_ = true;
    // member: NameLength, Name, DateTime, Signature
    emit_.PutText(name);
    emit_.PutInt(static_cast<std::int32_t>(when));
    emit_.Put(kSignature, sizeof kSignature);

    std::int64_t left = size;
    std::vector<Piece> batch;
    while (left > 0) {
      batch.clear();
      while (left > 0 && static_cast<std::int32_t>(batch.size()) < std::max(1, options_.piecesPerBatch)) {
        const std::int32_t n = static_cast<std::int32_t>(std::min<std::int64_t>(left, kBlockSize));
        Piece piece;
        piece.raw.resize(static_cast<std::size_t>(n));
        if (ReadFully(content, piece.raw.data(), n) != n) {
          throw plat::Error("Cannot read file \"" + name + "\": it is shorter than " +
                            std::to_string(size) + " bytes");
        }
        left -= n;
        batch.push_back(std::move(piece));
      }
      if (options_.encodeBatch) {
        options_.encodeBatch(batch, options_.level);
      } else {
        EncodeSerially(batch, options_.level);
      }
      for (const Piece& piece : batch) WriteBlock(piece);
    }
    std::uint8_t extra;
    if (content.Read(&extra, 1) != 0) {
      throw plat::Error("Cannot read file \"" + name + "\": it is longer than " +
                        std::to_string(size) + " bytes");
    }
    emit_.PutInt(0);  // end-of-member marker
  }

  void WriteBlock(const Piece& piece) {
    const std::int64_t blockBytes = kIntSize + static_cast<std::int64_t>(piece.encoded.size());
    if (!emit_.Fits(blockBytes + kCloseReserve)) {
      emit_.PutInt(0);  // this volume's part of the member ends here
      emit_.NextVolume();
      emit_.Put(kSignature, sizeof kSignature);
      if (!emit_.Fits(blockBytes + kCloseReserve)) throw TooSmall();
    }
    const auto n = static_cast<std::int32_t>(piece.encoded.size());
    emit_.PutInt(piece.stored ? -n : n);
    emit_.Put(piece.encoded.data(), piece.encoded.size());
    ++summary_.blockCount;
    if (piece.stored) ++summary_.storedBlocks;
    done_ += static_cast<std::int64_t>(piece.raw.size());
    if (options_.onProgress) options_.onProgress(done_, total_);
  }

  const WriterOptions& options_;
  Emitter& emit_;
  WriteSummary& summary_;
  std::int64_t total_ = 0;
  std::int64_t done_ = 0;
  bool anyMember_ = false;
};

}  // namespace

void EncodePiece(Piece& piece, int level) {
  const uLong rawSize = static_cast<uLong>(piece.raw.size());
  uLongf packedSize = compressBound(rawSize);
  piece.encoded.resize(packedSize);
  const int rc = compress2(piece.encoded.data(), &packedSize, piece.raw.data(), rawSize, level);
  if (rc != Z_OK) throw plat::Error("Compression error");
  if (packedSize < rawSize) {
    piece.encoded.resize(packedSize);
    piece.stored = false;
  } else {
    piece.encoded = piece.raw;
    piece.stored = true;
  }
}

void EncodeSerially(std::vector<Piece>& batch, int level) {
  for (Piece& piece : batch) EncodePiece(piece, level);
}

std::string CatalogueText(const std::vector<WriterMember>& members) {
  std::string text;
  for (const WriterMember& m : members) {
    text += m.name;
    text += '\t';
    text += std::to_string(static_cast<std::int32_t>(m.dosDateTime));
    text += '=';
    text += std::to_string(m.size);
    text += "\r\n";
  }
  return text;
}

std::string VolumeName(const std::string& firstVolume, int disk) {
  char ext[16];
  std::snprintf(ext, sizeof ext, ".%03d", disk);
  return plat::ChangeFileExt(firstVolume, ext);
}

ArchiveWriter::ArchiveWriter(WriterOptions options, plat::FileSystem& fs)
    : options_(std::move(options)), fs_(fs) {
  if (options_.level < 0 || options_.level > 9) throw plat::Error("Compression level must be 0 to 9");
  if (options_.maxSize < 0) throw plat::Error("The volume size must not be negative");
}

WriteSummary ArchiveWriter::Write(const std::vector<WriterMember>& members, plat::Stream& out) {
  if (options_.maxSize != 0) {
    throw plat::Error("Cannot write to archive: a volume size needs a file name");
  }
  WriteSummary summary;
  Emitter emit(out, 0, nullptr);
  Layout(options_, emit, summary).Write(members);
  return summary;
}

WriteSummary ArchiveWriter::WriteVolumes(const std::vector<WriterMember>& members,
                                         const std::string& firstVolume) {
  WriteSummary summary;
  std::vector<std::unique_ptr<plat::FileStream>> files;
  files.push_back(fs_.Create(firstVolume));
  summary.volumes.push_back(firstVolume);
  Emitter emit(*files.back(), options_.maxSize, [&](int disk) -> plat::Stream& {
    const std::string name = VolumeName(firstVolume, disk);
    files.back().reset();  // a finished volume is closed before the next is made
    files.push_back(fs_.Create(name));
    summary.volumes.push_back(name);
    return *files.back();
  });
  Layout(options_, emit, summary).Write(members);
  return summary;
}

WriteSummary ArchiveWriter::WriteInstaller(plat::Stream& stub,
                                           const std::vector<WriterMember>& members,
                                           plat::Stream& out) {
  stub.Seek(0, plat::Stream::Origin::Begin);
  std::vector<std::uint8_t> buffer(kBlockSize);
  for (;;) {
    const std::int32_t n = stub.Read(buffer.data(), kBlockSize);
    if (n <= 0) break;
    out.WriteBuffer(buffer.data(), n);
  }
  const std::int64_t offset = out.Position();
  if (offset > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max())) {
    throw plat::Error("Cannot write to archive: the stub is larger than 4 GB");
  }
  WriteSummary summary = Write(members, out);
  WritePayloadTrailer(out, static_cast<std::uint32_t>(offset));
  return summary;
}

}  // namespace archive
