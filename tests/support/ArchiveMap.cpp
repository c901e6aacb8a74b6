#include "support/ArchiveMap.h"

#include <stdexcept>

namespace testsupport {

const char* RegionName(Region r) {
  switch (r) {
    case Region::kHeader: return "header";
    case Region::kNameLength: return "name length";
    case Region::kName: return "name";
    case Region::kDateTime: return "date-time";
    case Region::kSignature: return "signature";
    case Region::kBlockLength: return "block length";
    case Region::kCompressedData: return "compressed data";
    case Region::kStoredData: return "stored data";
    case Region::kEndOfMember: return "end of member";
    case Region::kEndOfArchive: return "end of archive";
    case Region::kVolumeMarker: return "volume marker";
  }
  return "?";
}

namespace {
constexpr std::size_t kInt = 4;
const std::string kMarkerPrefix = "NEXT:DISK";

class Walker {
 public:
  Walker(const std::vector<std::uint8_t>& bytes, ArchiveMap& map) : b_(bytes), map_(map) {}

  std::int32_t Int(Region r, int member) {
    Need(kInt);
    std::uint32_t v = 0;
    for (std::size_t i = kInt; i-- > 0;) v = (v << 8) | b_[pos_ + i];
    Add(kInt, r, member);
    return static_cast<std::int32_t>(v);
  }
  void Bytes(std::size_t n, Region r, int member) {
    Need(n);
    if (n > 0) Add(n, r, member);
  }
  std::string Text(std::size_t n, Region r, int member) {
    Need(n);
    std::string s(b_.begin() + static_cast<std::ptrdiff_t>(pos_),
                  b_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
    if (n > 0) Add(n, r, member);
    return s;
  }
  std::size_t Pos() const { return pos_; }
  // Gives the last span another region and member.
  void Retag(Region r, int member) {
    map_.spans.back().region = r;
    map_.spans.back().member = member;
  }

 private:
  void Need(std::size_t n) const {
    if (pos_ > b_.size() || n > b_.size() - pos_) throw std::runtime_error("archive map: short");
  }
  void Add(std::size_t n, Region r, int member) {
    map_.spans.push_back({pos_, pos_ + n, r, member});
    pos_ += n;
  }
  const std::vector<std::uint8_t>& b_;
  ArchiveMap& map_;
  std::size_t pos_ = 0;
};

// The signature and the blocks of member index, up to and including its end marker.
void MapBlocks(Walker& w, MemberInfo& m, int index) {
  w.Bytes(kInt, Region::kSignature, index);
  for (;;) {
    const std::int32_t length = w.Int(Region::kBlockLength, index);
    if (length == 0) {
      w.Retag(Region::kEndOfMember, index);
      break;
    }
    const std::size_t n = length < 0 ? static_cast<std::size_t>(-static_cast<std::int64_t>(length))
                                     : static_cast<std::size_t>(length);
    m.blocks.push_back({length, w.Pos()});
    w.Bytes(n, length > 0 ? Region::kCompressedData : Region::kStoredData, index);
  }
  m.end = w.Pos();
}
}  // namespace

ArchiveMap ArchiveMap::Of(const std::vector<std::uint8_t>& bytes, bool continuation) {
  ArchiveMap map;
  Walker w(bytes, map);
  int index = 0;
  if (continuation) {
    MemberInfo m;
    m.name = "(continuation)";
    MapBlocks(w, m, index++);
    map.members.push_back(m);
  } else {
    const std::int32_t titleLength = w.Int(Region::kHeader, -1);
    if (titleLength < 0) throw std::runtime_error("archive map: title length");
    map.title = w.Text(static_cast<std::size_t>(titleLength), Region::kHeader, -1);
    map.totalSize = w.Int(Region::kHeader, -1);
    map.fileCount = w.Int(Region::kHeader, -1);
  }
  for (;; ++index) {
    const std::size_t start = w.Pos();
    const std::int32_t nameLength = w.Int(Region::kNameLength, index);
    if (nameLength == 0) {
      w.Retag(Region::kEndOfArchive, -1);
      break;
    }
    if (nameLength < 0) throw std::runtime_error("archive map: name length");
    MemberInfo m;
    m.begin = start;
    m.name = w.Text(static_cast<std::size_t>(nameLength), Region::kName, index);
    if (m.name.compare(0, kMarkerPrefix.size(), kMarkerPrefix) == 0) {
      map.volumeMarker = m.name;
      map.spans[map.spans.size() - 2].region = Region::kVolumeMarker;
      map.spans[map.spans.size() - 2].member = -1;
      w.Retag(Region::kVolumeMarker, -1);
      break;
    }
    m.when = static_cast<std::uint32_t>(w.Int(Region::kDateTime, index));
    MapBlocks(w, m, index);
    map.members.push_back(m);
  }
  map.size = w.Pos();
  return map;
}

std::vector<std::size_t> ArchiveMap::Boundaries() const {
  std::vector<std::size_t> out;
  for (const Span& s : spans) out.push_back(s.begin);
  out.push_back(size);
  return out;
}

const Span& ArchiveMap::At(std::size_t offset) const {
  // Spans are sorted and contiguous: binary search by start.
  std::size_t lo = 0;
  std::size_t hi = spans.size();
  while (hi - lo > 1) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (spans[mid].begin <= offset) lo = mid; else hi = mid;
  }
  return spans[lo];
}

}  // namespace testsupport
