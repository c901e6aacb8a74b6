// A map of a sound archive volume, made by one walk over its bytes: the header's values, each
// member with its date-time and blocks, a volume marker at the end, and where every field starts
// and ends, with the member each byte belongs to and what kind of bytes they are. Tests read what
// the writer produced from it, and the damage tests find the structural boundaries and whether a
// damaged byte lies in a compressed block (which the reader must catch) or elsewhere.
//
// It reads the format on its own, without the archive code it checks, and trusts nothing: a
// length that runs past the end is an error, so a map is only ever made of a sound volume.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

enum class Region {
  kHeader,          // TitleLength, Title, TotalSize, FileCount
  kNameLength,
  kName,
  kDateTime,
  kSignature,
  kBlockLength,
  kCompressedData,  // a zlib stream: damage is caught by zlib
  kStoredData,      // raw bytes: damage cannot be seen
  kEndOfMember,
  kEndOfArchive,
  kVolumeMarker,    // its length and "NEXT:DISKddd"
};

const char* RegionName(Region r);

struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;  // one past the last byte
  Region region = Region::kHeader;
  int member = -1;      // index of the member, -1 for the archive header and end markers
};

struct BlockInfo {
  std::int32_t length = 0;  // as stored: negative for a stored block
  std::size_t offset = 0;   // of its data
};

struct MemberInfo {
  std::string name;
  std::uint32_t when = 0;  // DOS date-time
  std::size_t begin = 0;   // its NameLength
  std::size_t end = 0;     // after its end-of-member marker
  std::vector<BlockInfo> blocks;
};

struct ArchiveMap {
  std::string title;
  std::int32_t totalSize = 0;
  std::int32_t fileCount = 0;
  std::vector<MemberInfo> members;  // the catalogue first when there is one
  std::vector<Span> spans;          // in file order, covering the volume without gaps
  std::size_t size = 0;             // bytes up to and including the end-of-archive marker or
                                    // the volume marker
  std::string volumeMarker;         // the marker's name when the volume ends in one

  // Maps bytes that start with the archive header or, for a continuation volume, with the
  // signature and blocks of the member carried over (mapped as a member "(continuation)").
  // Throws std::runtime_error when they are not a sound volume.
  static ArchiveMap Of(const std::vector<std::uint8_t>& bytes, bool continuation = false);

  // Every offset where a field starts, plus the end: the structural boundaries.
  std::vector<std::size_t> Boundaries() const;
  const Span& At(std::size_t offset) const;
};

}  // namespace testsupport
