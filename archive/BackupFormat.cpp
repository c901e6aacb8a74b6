// The reading layer of the archive format: bounds first, then the stream.
#include "archive/BackupFormat.h"

#include <cstring>

#include "platform/Files.h"

namespace archive {

namespace {

// ".002" for disk 2. By hand, not snprintf: MinGW's printf family would bring its
// floating-point formatting (about 27 KB) into the installer, which reads volumes too.
std::string ThreeDigits(int disk) {
  std::string digits(3, '0');
  for (int i = 2; i >= 0 && disk > 0; --i, disk /= 10) digits[i] = static_cast<char>('0' + disk % 10);
  return digits;
}

class Engine : public FaultPolicy {
 public:
  void Fault(const FormatFault& fault) override {
    switch (fault.kind) {
      case FormatFault::Kind::kBadSignature:
      case FormatFault::Kind::kBlockTooLong:
        throw plat::Error(kErrorMessages[kErrInvalidArchive]);
      default:
        throw plat::StreamError("Stream read error");
    }
  }
  void StreamFailed(StreamCall, const char*, std::int64_t, const plat::Error&) override { throw; }
};

}  // namespace

bool IsVolumeMarkerName(const std::string& name) {
  return name.compare(0, kVolumeMarkerPrefixLength, kVolumeMarkerPrefix) == 0;
}

int VolumeMarkerDisk(const std::string& name) {
  if (name.size() != static_cast<std::size_t>(kVolumeMarkerLength) || !IsVolumeMarkerName(name)) {
    return -1;
  }
  int disk = 0;
  for (std::size_t i = kVolumeMarkerPrefixLength; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return -1;
    disk = disk * 10 + (name[i] - '0');
  }
  return disk;
}

std::string VolumeMarkerName(int disk) { return kVolumeMarkerPrefix + ThreeDigits(disk); }

std::string NextVolumeName(const std::string& volume, int disk) {
  return plat::ChangeFileExt(volume, "." + ThreeDigits(disk));
}

FaultPolicy& EngineFaults() {
  static Engine engine;
  return engine;
}

FormatReader::FormatReader(FaultPolicy& policy, plat::Stream& stream, std::int64_t position,
                           std::int64_t end)
    : policy_(&policy), stream_(&stream), position_(position), end_(end) {}

FormatReader::FormatReader(FaultPolicy& policy, plat::Stream& stream)
    : policy_(&policy), stream_(&stream), position_(stream.Position()), end_(stream.Size()) {}

void FormatReader::Raise(FormatFault::Kind kind, const char* field, std::int64_t offset,
                         std::int64_t length, const std::uint8_t* bytes) {
  FormatFault fault;
  fault.kind = kind;
  fault.field = field;
  fault.offset = offset;
  fault.length = length;
  fault.left = Remaining();
  if (bytes != nullptr) std::memcpy(fault.bytes, bytes, sizeof fault.bytes);
  policy_->Fault(fault);
  throw plat::Error(kErrorMessages[kErrInvalidArchive]);  // a policy that returned
}

void FormatReader::Failed(StreamCall call, const char* field, std::int64_t offset,
                          const plat::Error& error) {
  policy_->StreamFailed(call, field, offset, error);
  throw;
}

void FormatReader::ReadBytes(void* buffer, std::int32_t n, const char* field) {
  if (n > Remaining()) Raise(FormatFault::Kind::kTruncated, field, position_, n);
  try {
    stream_->ReadBuffer(buffer, n);
  } catch (const plat::Error& e) {
    Failed(StreamCall::kRead, field, position_, e);
  }
  position_ += n;
}

std::int32_t FormatReader::ReadInt(const char* field) {
  std::uint8_t b[kIntSize];
  ReadBytes(b, kIntSize, field);
  return static_cast<std::int32_t>(LoadLe32(b));
}

void FormatReader::Skip(std::int64_t n, const char* field) {
  if (n > Remaining()) Raise(FormatFault::Kind::kTruncated, field, position_, n);
  try {
    stream_->Seek(n, plat::Stream::Origin::Current);
  } catch (const plat::Error& e) {
    Failed(StreamCall::kSkip, field, position_, e);
  }
  position_ += n;
}

void FormatReader::MoveTo(std::int64_t position, const char* field) {
  try {
    stream_->Seek(position, plat::Stream::Origin::Begin);
  } catch (const plat::Error& e) {
    Failed(StreamCall::kMove, field, position, e);
  }
  position_ = position;
}

void FormatReader::ReadHeader(std::string& title, std::int32_t& totalSize,
                              std::int32_t& fileCount) {
  const std::int64_t offset = position_;
  const std::int32_t titleLength = ReadInt("archive header");  // TitleLength
  if (titleLength < 0) {
    Raise(FormatFault::Kind::kNegativeTitleLength, "archive header", offset, titleLength);
  }
  if (titleLength > Remaining()) {
    Raise(FormatFault::Kind::kTitleTooLong, "archive header", offset, titleLength);
  }
  std::string text(static_cast<std::size_t>(titleLength), '\0');
  ReadBytes(&text[0], titleLength, "archive title");  // Title
  title = std::move(text);
  totalSize = ReadInt("archive header (total size)");  // TotalSize
  fileCount = ReadInt("archive header (file count)");  // FileCount
}

MemberHead FormatReader::ReadMemberHead() {
  MemberHead head;
  head.offset = position_;
  head.nameLength = ReadInt("member name length");  // NameLength
  if (head.nameLength == 0) return head;
  if (head.nameLength < 0) {
    head.kind = MemberHead::Kind::kNegativeLength;
    return head;
  }
  if (head.nameLength > Remaining()) {
    Raise(FormatFault::Kind::kNameTooLong, "member name length", head.offset, head.nameLength);
  }
  head.name.assign(static_cast<std::size_t>(head.nameLength), '\0');
  ReadBytes(&head.name[0], head.nameLength, "member name");  // Name
  head.kind = IsVolumeMarkerName(head.name) ? MemberHead::Kind::kVolumeMarker
                                            : MemberHead::Kind::kMember;
  return head;
}

std::uint32_t FormatReader::ReadDateTime() {
  return static_cast<std::uint32_t>(ReadInt("member date-time"));  // DosDateTime
}

void FormatReader::ReadSignature() {
  const std::int64_t offset = position_;
  std::uint8_t signature[kIntSize];
  ReadBytes(signature, kIntSize, "member signature");  // Signature
  if (std::memcmp(signature, kSignature, kIntSize) != 0) {
    Raise(FormatFault::Kind::kBadSignature, "member signature", offset, kIntSize, signature);
  }
}

BlockHead FormatReader::ReadBlockHead() {
  BlockHead block;
  block.offset = position_;
  block.length = ReadInt("block length");  // BlockLength: > 0 compressed, < 0 stored, 0 end
  const std::int64_t n = block.DataSize();
  if (n > kBlockSize) Raise(FormatFault::Kind::kBlockTooLong, "block length", block.offset, n);
  if (n > Remaining()) Raise(FormatFault::Kind::kBlockTruncated, "block data", block.offset, n);
  return block;
}

void FormatReader::ReadBlockData(const BlockHead& block, std::uint8_t* buffer) {
  ReadBytes(buffer, static_cast<std::int32_t>(block.DataSize()), "block data");  // Data
}

void FormatReader::SkipBlockData(const BlockHead& block) {
  Skip(block.DataSize(), "block data");
}

std::uint32_t FormatReader::ReadTrailer() {
  if (end_ < kTrailerSize) {
    Raise(FormatFault::Kind::kTruncated, "payload trailer", position_, kTrailerSize);
  }
  MoveTo(end_ - kTrailerSize, "payload trailer");
  return static_cast<std::uint32_t>(ReadInt("payload trailer"));
}

}  // namespace archive
