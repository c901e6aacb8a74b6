// The strict archive walk. Positions are tracked here rather than asked of the stream, so that
// every bound is checked against the known end of the archive's bytes in the current file.
#include "archive/ArchiveWalker.h"

#include <algorithm>
#include <cstring>

#include "archive/BackupFormat.h"
#include "archive/InstallerEnd.h"
#include "archive/Payload.h"
#include "archive/ReadAheadStream.h"
#include "platform/Error.h"

namespace archive {

namespace {

constexpr std::int64_t kIntSize = 4;
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
  std::string path;
  std::unique_ptr<plat::FileStream> owned;  // null for a caller's stream
  // The file read through a buffer: a walk makes several small reads per block. Declared after
  // owned, so that it lets go of the file before the file is closed.
  std::unique_ptr<ReadAheadStream> reader;
  plat::Stream* stream = nullptr;  // reader
  std::int64_t start = 0;  // where the archive's bytes begin in the file
  std::int64_t pos = 0;    // offset in the file
  std::int64_t end = 0;    // end of the archive's bytes: the file size, or the trailer's offset
};

InflateResult InflateWholeBlock(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                                std::size_t capacity) {
  return NewZlibInflater()->Inflate(in, n, out, capacity);
}

ArchiveWalker::ArchiveWalker(plat::FileSystem& fs, const std::string& path)
    : fs_(&fs), firstPath_(path) {
  OpenVolume(path);
  const std::int64_t size = volume_->end;
  std::uint8_t magic[2] = {0, 0};
  if (size >= 2) {
    ReadExact(magic, 2, "file start");
  }
  if (std::memcmp(magic, kInstallerMagic, sizeof magic) != 0) {
    Seek(0, "file start");
    RefuseNonArchive();
    return;
  }
  if (size < 2 + kTrailerSize) Fail("an installer too short to hold a payload trailer");
  FindPayload();
}

ArchiveWalker::ArchiveWalker(plat::Stream& installer, const std::string& label)
    : firstPath_(label) {
  auto volume = std::make_unique<Volume>();
  volume->path = label;
  volume->reader = std::make_unique<ReadAheadStream>(installer);
  volume->stream = volume->reader.get();
  try {
    volume->end = installer.Size();
  } catch (const plat::Error& e) {
    throw WalkError(label, "", std::string("cannot be read: ") + e.what());
  }
  volume_ = std::move(volume);
  volumes_.push_back(label);
  if (volume_->end < kTrailerSize) Fail("an installer too short to hold a payload trailer");
  FindPayload();
}

void ArchiveWalker::FindPayload() {
  installer_ = true;
  InstallerEnd end;
  try {
    end = FindInstallerEnd(*volume_->stream);
  } catch (const plat::Error& e) {
    Fail(std::string("cannot read the program's headers: ") + e.what());
  }
  if (!end.damage.empty()) Fail("a damaged installer: " + end.damage);
  certificateTableSize_ = end.certificateTableSize;
  const std::int64_t size = end.end;
  if (size < kTrailerSize) Fail("an installer too short to hold a payload trailer");
  Seek(size - kTrailerSize, "payload trailer");
  std::uint8_t trailer[kTrailerSize];
  ReadExact(trailer, kTrailerSize, "payload trailer");
  payloadOffset_ = LoadLe32(trailer);
  const std::int64_t archiveEnd = size - kTrailerSize;
  if (payloadOffset_ > archiveEnd) {
    Fail("the payload trailer points outside the file (offset " + Num(payloadOffset_) +
         ", payload must end by " + Num(archiveEnd) + ")");
  }
  Seek(payloadOffset_, "payload");
  volume_->start = payloadOffset_;
  volume_->end = archiveEnd;
}

// A file that is no installer must begin with an archive header. A title length that is
// negative or runs past the end of the file is what a text, a picture or any other file gives
// (its first four bytes read as a number), not a damaged title: it is said so. A file too short
// for a title length is a cut archive, and ReadHeader says that.
void ArchiveWalker::RefuseNonArchive() {
  if (Remaining() < kIntSize) return;
  const std::int32_t titleLength = ReadInt("archive header");
  if (titleLength < 0 || titleLength > Remaining()) {
    throw WalkError("", "", "not an installer or archive: " + firstPath_);
  }
  Seek(0, "file start");
}

ArchiveWalker::~ArchiveWalker() = default;

void ArchiveWalker::Fail(const std::string& what) const {
  throw WalkError(volume_ ? volume_->path : firstPath_, member_, what);
}

std::int64_t ArchiveWalker::Remaining() const {
  return volume_->pos <= volume_->end ? volume_->end - volume_->pos : 0;
}

void ArchiveWalker::OpenVolume(const std::string& path) {
  auto volume = std::make_unique<Volume>();
  volume->path = path;
  try {
    volume->owned = fs_->OpenRead(path);
    volume->reader = std::make_unique<ReadAheadStream>(*volume->owned);
    volume->stream = volume->reader.get();
    volume->end = volume->stream->Size();
  } catch (const plat::Error& e) {
    throw WalkError(path, member_, std::string("cannot be read: ") + e.what());
  }
  volume_ = std::move(volume);
  volumes_.push_back(path);
}

void ArchiveWalker::ReadExact(void* buffer, std::int64_t n, const char* field) {
  if (n > Remaining()) {
    Fail(std::string("truncated ") + field + ": " + Num(n) + " bytes needed at offset " +
         Num(volume_->pos) + ", " + Num(Remaining()) + " left");
  }
  try {
    volume_->stream->ReadBuffer(buffer, static_cast<std::int32_t>(n));
  } catch (const plat::Error& e) {
    Fail(std::string("cannot read ") + field + " at offset " + Num(volume_->pos) + ": " +
         e.what());
  }
  volume_->pos += n;
}

std::int32_t ArchiveWalker::ReadInt(const char* field) {
  std::uint8_t b[kIntSize];
  ReadExact(b, kIntSize, field);
  return static_cast<std::int32_t>(LoadLe32(b));
}

void ArchiveWalker::Skip(std::int64_t n, const char* field) {
  if (n > Remaining()) {
    Fail(std::string("truncated ") + field + ": " + Num(n) + " bytes needed at offset " +
         Num(volume_->pos) + ", " + Num(Remaining()) + " left");
  }
  try {
    volume_->stream->Seek(n, plat::Stream::Origin::Current);
  } catch (const plat::Error& e) {
    Fail(std::string("cannot step over ") + field + " at offset " + Num(volume_->pos) + ": " +
         e.what());
  }
  volume_->pos += n;
}

void ArchiveWalker::Seek(std::int64_t pos, const char* field) {
  try {
    volume_->stream->Seek(pos, plat::Stream::Origin::Begin);
  } catch (const plat::Error& e) {
    Fail(std::string("cannot move to the ") + field + " at offset " + Num(pos) + ": " + e.what());
  }
  volume_->pos = pos;
}

void ArchiveWalker::Report() {
  if (progress_) progress_(volume_->pos - volume_->start, volume_->end - volume_->start);
}

const ArchiveHeader& ArchiveWalker::ReadHeader() {
  member_.clear();
  // archive header: TitleLength, Title, TotalSize, FileCount
  const std::int32_t titleLength = ReadInt("archive header");
  if (titleLength < 0) Fail("archive header: negative title length " + Num(titleLength));
  if (titleLength > Remaining()) {
    Fail("archive header: title length " + Num(titleLength) + " is more than the " +
         Num(Remaining()) + " bytes left");
  }
  header_.title.assign(static_cast<std::size_t>(titleLength), '\0');
  ReadExact(&header_.title[0], titleLength, "archive title");
  header_.totalSize = ReadInt("archive header (total size)");
  header_.fileCount = ReadInt("archive header (file count)");
  return header_;
}

std::vector<MemberRecord> ArchiveWalker::Walk(const WantData& want, const OnData& onData,
                                              std::size_t stopAfter) {
  std::vector<MemberRecord> members;
  for (;;) {
    member_.clear();
    // member: NameLength, Name, DateTime, Signature, blocks
    const std::int32_t nameLength = ReadInt("member name length");
    if (nameLength == 0) break;  // end-of-archive marker
    if (nameLength < 0) Fail("negative member name length " + Num(nameLength) + " at offset " +
                             Num(volume_->pos - kIntSize));
    if (nameLength > Remaining()) {
      Fail("member name length " + Num(nameLength) + " at offset " + Num(volume_->pos - kIntSize) +
           " is more than the " + Num(Remaining()) + " bytes left");
    }
    std::string name(static_cast<std::size_t>(nameLength), '\0');
    ReadExact(&name[0], nameLength, "member name");

    if (name.compare(0, kVolumeMarkerPrefixLength, kVolumeMarkerPrefix) == 0) {
      if (members.empty()) Fail("a volume marker before any member");
      MemberRecord& split = members.back();
      member_ = split.name;
      NextVolume(name);
      ++split.parts;
      ReadMemberData(split, split.inflated, onData);
      continue;
    }
    if (stopAfter != 0 && members.size() >= stopAfter) break;

    MemberRecord m;
    m.index = members.size();
    m.name = name;
    member_ = name;
    m.dateTime = static_cast<std::uint32_t>(ReadInt("member date-time"));
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
  const std::string digits = marker.substr(kVolumeMarkerPrefixLength);
  if (marker.size() != static_cast<std::size_t>(kVolumeMarkerLength) ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    Fail("malformed volume marker \"" + marker + "\"");
  }
  if (Remaining() != 0) Fail(Num(Remaining()) + " bytes follow the volume marker");
  const std::string next = plat::ChangeFileExt(volume_->path, "." + digits);
  for (const std::string& seen : volumes_) {
    if (seen == next) Fail("the volume marker leads back to " + next);
  }
  if (!fs_->FileExists(next)) Fail("next volume " + next + " is missing");
  OpenVolume(next);
}

void ArchiveWalker::ReadMemberData(MemberRecord& m, bool inflate, const OnData& onData) {
  std::uint8_t signature[kIntSize];
  ReadExact(signature, kIntSize, "member signature");
  if (std::memcmp(signature, kSignature, kIntSize) != 0) {
    Fail("bad member signature " + Hex4(signature) + " at offset " + Num(volume_->pos - kIntSize) +
         " (expected 45 43 32 00)");
  }
  std::vector<std::uint8_t> in, out;
  if (inflate) {
    in.resize(kBlockSize);
    out.resize(kBlockSize);
  }
  for (;;) {
    const std::int32_t length = ReadInt("block length");
    if (length == 0) break;  // end-of-member marker
    ++blockIndex_;
    const std::string block = "block " + Num(blockIndex_);
    const std::int64_t n = length < 0 ? -static_cast<std::int64_t>(length) : length;
    if (n > kBlockSize) {
      Fail(block + " at offset " + Num(volume_->pos - kIntSize) + " is " + Num(n) +
           " bytes long; a block holds at most " + Num(kBlockSize));
    }
    if (n > Remaining()) {
      Fail(block + " is truncated: " + Num(n) + " bytes announced, " + Num(Remaining()) +
           " left");
    }
    ++m.blocks;
    if (length < 0) ++m.storedBlocks;
    if (!inflate) {
      Skip(n, "block data");
      Report();
      continue;
    }
    ReadExact(in.data(), n, "block data");
    const std::uint8_t* data = in.data();
    std::int64_t produced = n;
    if (length > 0) {
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
  if (Remaining() != 0) {
    Fail(Num(Remaining()) + " bytes follow the end-of-archive marker" +
         (installer_ ? " before the payload trailer" : ""));
  }
}

}  // namespace archive
