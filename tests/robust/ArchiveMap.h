// A map of a sound single-volume archive for the damage tests: where every field starts and
// ends, which member each byte belongs to, and what kind of bytes they are. Built from a
// writer-made archive, it tells the tests where the structural boundaries are and whether a
// damaged byte lies in a compressed block (which the reader must catch) or elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace robust {

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
};

const char* RegionName(Region r);

struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;  // one past the last byte
  Region region = Region::kHeader;
  int member = -1;      // index of the member, -1 for the archive header and end marker
};

struct MemberInfo {
  std::string name;
  std::size_t begin = 0;  // its NameLength
  std::size_t end = 0;    // after its end-of-member marker
  std::size_t blocks = 0;
};

struct ArchiveMap {
  std::vector<Span> spans;  // in file order, covering the archive without gaps
  std::vector<MemberInfo> members;
  std::size_t size = 0;     // bytes up to and including the end-of-archive marker

  // Throws std::runtime_error when bytes are not a sound single-volume archive.
  static ArchiveMap Of(const std::vector<std::uint8_t>& bytes);

  // Every offset where a field starts, plus the end: the structural boundaries.
  std::vector<std::size_t> Boundaries() const;
  const Span& At(std::size_t offset) const;
};

}  // namespace robust
