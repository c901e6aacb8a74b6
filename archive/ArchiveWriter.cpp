// The archive writer. Everything is written through one Emitter that knows how much room the
// current volume has left, so that the layout code can keep room for the markers that must
// close a volume: a block is only written when the end-of-member marker and a volume marker
// still fit after it.
#include "archive/ArchiveWriter.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

#include "archive/Payload.h"
#include "platform/Error.h"

namespace archive {

namespace {

// What must still fit after any unit inside a member: its end-of-member marker and a volume
// marker. It also covers the end-of-archive marker.
constexpr std::int64_t kCloseReserve = kEndMarkerBytes + kVolumeMarkerBytes;

// Bytes gathered before they go to the output stream: a block and its length in one write,
// and many small blocks in one, instead of two writes per block.
constexpr std::size_t kOutputBuffer = 256 * 1024;

class Emitter {
 public:
  using VolumeOpener = std::function<plat::Stream&(int disk)>;

  Emitter(plat::Stream& first, std::int64_t limit, VolumeOpener next)
      : out_(&first), limit_(limit), next_(std::move(next)) {
    buffer_.reserve(kOutputBuffer);
  }

  bool Fits(std::int64_t n) const { return limit_ == 0 || (used_ <= limit_ && n <= limit_ - used_); }

  void Put(const void* data, std::size_t n) {
    if (n > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      throw plat::Error("Cannot write to archive");
    }
    if (n > kOutputBuffer - buffer_.size()) Flush();
    if (n >= kOutputBuffer) {
      out_->WriteBuffer(data, static_cast<std::int32_t>(n));
    } else {
      const auto* bytes = static_cast<const std::uint8_t*>(data);
      buffer_.insert(buffer_.end(), bytes, bytes + n);
    }
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
    PutText(VolumeMarkerName(disk_));
    Flush();
    out_ = &next_(disk_);
    used_ = 0;
  }

  // Writes what is gathered; the archive's last bytes need it before the output is closed.
  void Flush() {
    if (buffer_.empty()) return;
    out_->WriteBuffer(buffer_.data(), static_cast<std::int32_t>(buffer_.size()));
    buffer_.clear();
  }

  std::int64_t Total() const { return total_; }

 private:
  std::vector<std::uint8_t> buffer_;
  plat::Stream* out_;
  std::int64_t limit_;
  VolumeOpener next_;
  std::int64_t used_ = 0;
  std::int64_t total_ = 0;
  int disk_ = 1;
};

// Moves the bytes [begin, end) of out up by distance, last piece first so that no byte is
// overwritten before it has been moved. Leaves the position unspecified.
void MoveUp(plat::Stream& out, std::int64_t begin, std::int64_t end, std::int64_t distance) {
  std::vector<std::uint8_t> buffer(kOutputBuffer);
  for (std::int64_t at = end; at > begin;) {
    const auto n = static_cast<std::int32_t>(
        std::min<std::int64_t>(at - begin, static_cast<std::int64_t>(buffer.size())));
    at -= n;
    out.Seek(at, plat::Stream::Origin::Begin);
    out.ReadBuffer(buffer.data(), n);
    out.Seek(at + distance, plat::Stream::Origin::Begin);
    out.WriteBuffer(buffer.data(), n);
  }
}

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

// One member's content on its way into pieces: the catalogue, then the file members.
struct Source {
  std::string name;
  std::uint32_t when = 0;
  std::int64_t size = 0;
  std::function<std::unique_ptr<plat::Stream>()> open;
};

// Cuts the sources' content into pieces in archive order, running ahead of the layout: each
// content is opened when its first piece is wanted, must hold exactly its size, and is closed
// once its last piece is read.
class PieceFeed {
 public:
  explicit PieceFeed(const std::vector<Source>& sources) : sources_(sources) {}

  // The next piece in archive order; false after the last one.
  bool Next(Piece& piece) {
    for (;;) {
      if (next_ >= sources_.size()) return false;
      const Source& s = sources_[next_];
      if (!content_) {
        if (!s.open) throw plat::Error("Cannot read file \"" + s.name + "\": no content");
        content_ = s.open();
        if (!content_) throw plat::Error("Cannot read file \"" + s.name + "\"");
        left_ = s.size;
      }
      if (left_ > 0) {
        const auto n = static_cast<std::int32_t>(std::min<std::int64_t>(left_, kBlockSize));
        piece.raw.resize(static_cast<std::size_t>(n));
        piece.encoded.clear();
        piece.stored = false;
        if (ReadFully(*content_, piece.raw.data(), n) != n) {
          throw plat::Error("Cannot read file \"" + s.name + "\": it is shorter than " +
                            std::to_string(s.size) + " bytes");
        }
        left_ -= n;
        return true;
      }
      std::uint8_t extra;
      if (content_->Read(&extra, 1) != 0) {
        throw plat::Error("Cannot read file \"" + s.name + "\": it is longer than " +
                          std::to_string(s.size) + " bytes");
      }
      content_.reset();
      ++next_;
    }
  }

 private:
  const std::vector<Source>& sources_;
  std::size_t next_ = 0;
  std::unique_ptr<plat::Stream> content_;
  std::int64_t left_ = 0;
};

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
      if (m.name == kCatalogueName || IsVolumeMarkerName(m.name)) {
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

    std::vector<Source> sources;
    sources.reserve(members.size() + 1);
    if (options_.writeCatalogue) {
      std::uint32_t when = options_.catalogueDateTime;
      if (when == 0) {
        for (const WriterMember& m : members) when = std::max(when, m.dosDateTime);
      }
      const auto text = std::make_shared<const std::string>(std::move(catalogue));
      sources.push_back({kCatalogueName, when, static_cast<std::int64_t>(text->size()),
                         [text]() -> std::unique_ptr<plat::Stream> {
                           return std::make_unique<plat::MemoryStream>(
                               std::vector<std::uint8_t>(text->begin(), text->end()));
                         }});
    }
    for (const WriterMember& m : members) sources.push_back({m.name, m.dosDateTime, m.size, m.open});

    // archive header: TitleLength, Title, TotalSize, FileCount
    const std::int64_t headerBytes = HeaderBytes(static_cast<std::int64_t>(options_.title.size()));
    if (!emit_.Fits(headerBytes + kEndMarkerBytes)) throw TooSmall();
    emit_.PutText(options_.title);
    emit_.PutInt(summary_.totalSize);
    emit_.PutInt(summary_.fileCount);

    std::unique_ptr<SerialEncoder> serial;
    PieceEncoder* encoder = options_.encoder;
    if (encoder == nullptr) {
      serial = std::make_unique<SerialEncoder>(
          options_.codec != nullptr ? *options_.codec : ZlibCodec(), options_.level);
      encoder = serial.get();
    }
    PieceFeed feed(sources);
    const std::size_t window = std::max<std::size_t>(1, encoder->Window());
    std::size_t inFlight = 0;
    for (const Source& s : sources) {
      WriteMemberStart(s.name, s.when);
      for (std::int64_t left = s.size; left > 0; left -= kBlockSize) {
        Piece piece;
        while (inFlight < window && feed.Next(piece)) {
          encoder->Submit(std::move(piece));
          ++inFlight;
        }
        piece = encoder->Take();
        --inFlight;
        WriteBlock(piece);
      }
      emit_.PutInt(0);  // end-of-member marker
    }
    // The last contents are checked for bytes beyond their size, and empty ones opened.
    Piece beyond;
    if (feed.Next(beyond)) throw plat::Error("Cannot write to archive: more content than sizes");
    emit_.PutInt(0);  // end-of-archive marker
    emit_.Flush();
    summary_.archiveBytes = emit_.Total();
  }

 private:
  static plat::Error TooSmall() {
    return plat::Error("Cannot write to archive: the volume size is too small");
  }

  void WriteMemberStart(const std::string& name, std::uint32_t when) {
    if (name.empty()) throw plat::Error("Cannot write to archive: a file has no name");
    const std::int64_t startBytes = MemberHeadBytes(static_cast<std::int64_t>(name.size()));
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
  }

  void WriteBlock(const Piece& piece) {
    const std::int64_t blockBytes = BlockBytes(static_cast<std::int64_t>(piece.encoded.size()));
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

void EncodePiece(Piece& piece, BlockDeflater& deflater) {
  const auto n = static_cast<std::int32_t>(piece.raw.size());
  piece.stored = !deflater.Deflate(piece.raw.data(), n, piece.encoded);
  if (piece.stored) piece.encoded = piece.raw;
}

void EncodePiece(Piece& piece, int level) {
  EncodePiece(piece, *ZlibCodec().NewDeflater(level));
}

SerialEncoder::SerialEncoder(const BlockCodec& codec, int level)
    : deflater_(codec.NewDeflater(level)) {}

void SerialEncoder::Submit(Piece piece) { pending_.push_back(std::move(piece)); }

Piece SerialEncoder::Take() {
  if (pending_.empty()) throw plat::Error("Compression error: no piece to take");
  Piece piece = std::move(pending_.front());
  pending_.erase(pending_.begin());
  EncodePiece(piece, *deflater_);
  return piece;
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
    const std::string name = NextVolumeName(firstVolume, disk);
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
  const std::int64_t stubEnd = out.Position();
  if (stubEnd > static_cast<std::int64_t>(std::numeric_limits<std::uint32_t>::max()) -
                    (kInstallerAlignment - 1)) {
    throw plat::Error("Cannot write to archive: the stub is larger than 4 GB");
  }
  WriteSummary summary = Write(members, out);
  const std::int64_t archiveEnd = out.Position();
  // The archive's size is known only now; the zero bytes that align the whole file go in front
  // of it, so the archive moves up by that much.
  const std::int64_t padding =
      (kInstallerAlignment - (archiveEnd + kTrailerSize) % kInstallerAlignment) %
      kInstallerAlignment;
  const std::int64_t offset = stubEnd + padding;
  if (padding != 0) {
    MoveUp(out, stubEnd, archiveEnd, padding);
    const std::uint8_t zeros[kInstallerAlignment] = {};
    out.Seek(stubEnd, plat::Stream::Origin::Begin);
    out.WriteBuffer(zeros, static_cast<std::int32_t>(padding));
    out.Seek(archiveEnd + padding, plat::Stream::Origin::Begin);
  }
  WritePayloadTrailer(out, static_cast<std::uint32_t>(offset));
  return summary;
}

}  // namespace archive
