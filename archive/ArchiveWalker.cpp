// The strict archive walk: the format layer's records, with every fault a WalkError.
#include "archive/ArchiveWalker.h"

#include <cstring>

#include "archive/InstallerEnd.h"
#include "archive/ReadAheadStream.h"
#include "platform/Error.h"

namespace archive {

namespace {

constexpr char kInstallerMagic[2] = {'M', 'Z'};

std::string Num(std::int64_t v) { return std::to_string(v); }

// "4D 5A 90 00". Not snprintf: MinGW's printf family would bring its floating-point
// formatting (about 27 KB) into the installer, which walks archives too.
std::string Hex4(const std::uint8_t* b) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) text += ' ';
    text += kDigits[b[i] >> 4];
    text += kDigits[b[i] & 0xF];
  }
  return text;
}

}  // namespace

struct ArchiveWalker::Volume {
  Volume(FaultPolicy& faults, std::string volumePath, std::unique_ptr<plat::FileStream> file,
         plat::Stream& stream, std::int64_t end)
      : path(std::move(volumePath)),
        owned(std::move(file)),
        reader(stream),
        format(faults, reader, 0, end) {}

  std::string path;
  std::unique_ptr<plat::FileStream> owned;  // null for a caller's stream
  // The file read through a buffer: a walk makes several small reads per block. Declared after
  // owned, so that it lets go of the file before the file is closed.
  ReadAheadStream reader;
  // The archive's bytes in the file: from the start to the file size, or to the trailer.
  FormatReader format;
  std::int64_t start = 0;  // where the archive's bytes begin in the file
};

InflateResult InflateWholeBlock(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                                std::size_t capacity) {
  return NewZlibInflater()->Inflate(in, n, out, capacity);
}

ArchiveWalker::ArchiveWalker(plat::FileSystem& fs, const std::string& path)
    : fs_(&fs), firstPath_(path) {
  OpenVolume(path);
  const std::int64_t size = Format().End();
  std::uint8_t magic[2] = {0, 0};
  if (size >= 2) {
    Format().ReadBytes(magic, 2, "file start");
  }
  if (std::memcmp(magic, kInstallerMagic, sizeof magic) != 0) {
    Format().MoveTo(0, "file start");
    RefuseNonArchive();
    return;
  }
  if (size < 2 + kTrailerSize) Fail("an installer too short to hold a payload trailer");
  FindPayload();
}

ArchiveWalker::ArchiveWalker(plat::Stream& installer, const std::string& label)
    : firstPath_(label) {
  std::int64_t size = 0;
  try {
    size = installer.Size();
  } catch (const plat::Error& e) {
    throw WalkError(label, "", std::string("cannot be read: ") + e.what());
  }
  volume_ = std::make_unique<Volume>(Faults(), label, nullptr, installer, size);
  volumes_.push_back(label);
  if (size < kTrailerSize) Fail("an installer too short to hold a payload trailer");
  FindPayload();
}

void ArchiveWalker::FindPayload() {
  installer_ = true;
  InstallerEnd end;
  try {
    end = FindInstallerEnd(volume_->reader);
  } catch (const plat::Error& e) {
    Fail(std::string("cannot read the program's headers: ") + e.what());
  }
  if (!end.damage.empty()) Fail("a damaged installer: " + end.damage);
  certificateTableSize_ = end.certificateTableSize;
  if (end.end < kTrailerSize) Fail("an installer too short to hold a payload trailer");
  Format().SetEnd(end.end);
  payloadOffset_ = Format().ReadTrailer();
  const std::int64_t archiveEnd = end.end - kTrailerSize;
  if (payloadOffset_ > archiveEnd) {
    Fail("the payload trailer points outside the file (offset " + Num(payloadOffset_) +
         ", payload must end by " + Num(archiveEnd) + ")");
  }
  Format().MoveTo(payloadOffset_, "payload");
  volume_->start = payloadOffset_;
  Format().SetEnd(archiveEnd);
}

// A file that is no installer must begin with an archive header. A title length that is
// negative or runs past the end of the file is what a text, a picture or any other file gives
// (its first four bytes read as a number), not a damaged title: it is said so. A file too short
// for a title length is a cut archive, and ReadHeader says that.
void ArchiveWalker::RefuseNonArchive() {
  if (Format().Remaining() < kIntSize) return;
  const std::int32_t titleLength = Format().ReadInt("archive header");
  if (titleLength < 0 || titleLength > Format().Remaining()) {
    throw WalkError("", "", "not an installer or archive: " + firstPath_);
  }
  Format().MoveTo(0, "file start");
}

ArchiveWalker::~ArchiveWalker() = default;

void ArchiveWalker::Fail(const std::string& what) const {
  throw WalkError(volume_ ? volume_->path : firstPath_, member_, what);
}

FormatReader& ArchiveWalker::Format() { return volume_->format; }

FaultPolicy& ArchiveWalker::Faults() { return *this; }

void ArchiveWalker::Fault(const FormatFault& f) {
  // A block's fault comes before the walk counts the block.
  const std::string block = "block " + Num(blockIndex_ + 1);
  switch (f.kind) {
    case FormatFault::Kind::kTruncated:
      Fail(std::string("truncated ") + f.field + ": " + Num(f.length) + " bytes needed at offset " +
           Num(f.offset) + ", " + Num(f.left) + " left");
    case FormatFault::Kind::kNegativeTitleLength:
      Fail("archive header: negative title length " + Num(f.length));
    case FormatFault::Kind::kTitleTooLong:
      Fail("archive header: title length " + Num(f.length) + " is more than the " + Num(f.left) +
           " bytes left");
    case FormatFault::Kind::kNameTooLong:
      Fail("member name length " + Num(f.length) + " at offset " + Num(f.offset) +
           " is more than the " + Num(f.left) + " bytes left");
    case FormatFault::Kind::kBadSignature:
      Fail("bad member signature " + Hex4(f.bytes) + " at offset " + Num(f.offset) +
           " (expected 45 43 32 00)");
    case FormatFault::Kind::kBlockTooLong:
      Fail(block + " at offset " + Num(f.offset) + " is " + Num(f.length) +
           " bytes long; a block holds at most " + Num(kBlockSize));
    case FormatFault::Kind::kBlockTruncated:
      Fail(block + " is truncated: " + Num(f.length) + " bytes announced, " + Num(f.left) +
           " left");
  }
  Fail(std::string("damaged ") + f.field);
}

void ArchiveWalker::StreamFailed(StreamCall call, const char* field, std::int64_t offset,
                                 const plat::Error& error) {
  const char* doing = call == StreamCall::kRead   ? "cannot read "
                      : call == StreamCall::kSkip ? "cannot step over "
                                                  : "cannot move to the ";
  Fail(doing + std::string(field) + " at offset " + Num(offset) + ": " + error.what());
}

void ArchiveWalker::OpenVolume(const std::string& path) {
  std::unique_ptr<Volume> volume;
  try {
    std::unique_ptr<plat::FileStream> file = fs_->OpenRead(path);
    plat::FileStream& stream = *file;
    const std::int64_t size = stream.Size();
    volume = std::make_unique<Volume>(Faults(), path, std::move(file), stream, size);
  } catch (const plat::Error& e) {
    throw WalkError(path, member_, std::string("cannot be read: ") + e.what());
  }
  volume_ = std::move(volume);
  volumes_.push_back(path);
}

void ArchiveWalker::Report() {
  if (progress_) {
    progress_(Format().Position() - volume_->start, Format().End() - volume_->start);
  }
}

const ArchiveHeader& ArchiveWalker::ReadHeader() {
  member_.clear();
  Format().ReadHeader(header_.title, header_.totalSize, header_.fileCount);
  return header_;
}

std::vector<MemberRecord> ArchiveWalker::Walk(const WantData& want, const OnData& onData,
                                              std::size_t stopAfter) {
  std::vector<MemberRecord> members;
  for (;;) {
    member_.clear();
    const MemberHead head = Format().ReadMemberHead();
    if (head.kind == MemberHead::Kind::kEnd) break;
    if (head.kind == MemberHead::Kind::kNegativeLength) {
      Fail("negative member name length " + Num(head.nameLength) + " at offset " +
           Num(head.offset));
    }
    if (head.kind == MemberHead::Kind::kVolumeMarker) {
      if (members.empty()) Fail("a volume marker before any member");
      MemberRecord& split = members.back();
      member_ = split.name;
      NextVolume(head.name);
      ++split.parts;
      ReadMemberData(split, split.inflated, onData);
      continue;
    }
    if (stopAfter != 0 && members.size() >= stopAfter) break;

    MemberRecord m;
    m.index = members.size();
    m.name = head.name;
    member_ = head.name;
    m.dateTime = Format().ReadDateTime();
    m.inflated = want ? want(m) : false;
    members.push_back(m);
    lastBlockWasShort_ = false;
    blockIndex_ = 0;
    ReadMemberData(members.back(), members.back().inflated, onData);
  }
  member_.clear();
  return members;
}

void ArchiveWalker::NextVolume(const std::string& marker) {
  if (installer_ || fs_ == nullptr) {
    Fail("a volume marker in an installer, whose payload is one volume");
  }
  const int disk = VolumeMarkerDisk(marker);
  if (disk < 0) Fail("malformed volume marker \"" + marker + "\"");
  if (Format().Remaining() != 0) Fail(Num(Format().Remaining()) + " bytes follow the volume marker");
  const std::string next = NextVolumeName(volume_->path, disk);
  for (const std::string& seen : volumes_) {
    if (seen == next) Fail("the volume marker leads back to " + next);
  }
  if (!fs_->FileExists(next)) Fail("next volume " + next + " is missing");
  OpenVolume(next);
}

void ArchiveWalker::ReadMemberData(MemberRecord& m, bool inflate, const OnData& onData) {
  Format().ReadSignature();
  std::vector<std::uint8_t> in, out;
  if (inflate) {
    in.resize(kBlockSize);
    out.resize(kBlockSize);
  }
  for (;;) {
    const BlockHead head = Format().ReadBlockHead();
    if (head.End()) break;
    ++blockIndex_;
    const std::string block = "block " + Num(blockIndex_);
    const std::int64_t n = head.DataSize();
    ++m.blocks;
    if (head.Stored()) ++m.storedBlocks;
    if (!inflate) {
      Format().SkipBlockData(head);
      Report();
      continue;
    }
    Format().ReadBlockData(head, in.data());
    const std::uint8_t* data = in.data();
    std::int64_t produced = n;
    if (!head.Stored()) {
      if (!inflater_) inflater_ = NewInflater(codec_);
      const InflateResult r =
          inflater_->Inflate(in.data(), static_cast<std::size_t>(n), out.data(), out.size());
      switch (r.status) {
        case InflateStatus::kOk: break;
        case InflateStatus::kCannotStart: Fail(block + ": zlib cannot start");
        case InflateStatus::kDamaged: Fail(block + ": damaged zlib data (" + r.detail + ")");
        case InflateStatus::kTooLong:
          Fail(block + " inflates to more than " + Num(kBlockSize) + " bytes");
        case InflateStatus::kTruncated: Fail(block + ": its zlib stream is truncated");
        case InflateStatus::kTrailing:
          Fail(block + ": " + Num(static_cast<std::int64_t>(r.leftIn)) +
               " bytes follow its zlib stream");
      }
      produced = static_cast<std::int64_t>(r.produced);
      data = out.data();
    }
    if (produced == 0) Fail(block + " holds no data");
    if (lastBlockWasShort_) {
      Fail(block + " follows a block of fewer than " + Num(kBlockSize) +
           " bytes; only a member's last block may be short");
    }
    lastBlockWasShort_ = produced < kBlockSize;
    m.size += produced;
    if (onData) onData(m, data, static_cast<std::size_t>(produced));
    Report();
  }
}

void ArchiveWalker::CheckTail() {
  member_.clear();
  if (Format().Remaining() != 0) {
    Fail(Num(Format().Remaining()) + " bytes follow the end-of-archive marker" +
         (installer_ ? " before the payload trailer" : ""));
  }
}

}  // namespace archive
