// Walks a writer-made archive once and records its fields. It trusts nothing: a length that
// runs past the end is an error, so a map is only ever made of a sound archive.
#include "ArchiveMap.h"

#include <stdexcept>

#include "archive/BackupFormat.h"
#include "archive/Payload.h"

namespace robust {

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
  }
  return "?";
}

namespace {
constexpr std::size_t kInt = 4;

class Walker {
 public:
  Walker(const std::vector<std::uint8_t>& bytes, ArchiveMap& map) : b_(bytes), map_(map) {}

  std::int32_t Int(Region r, int member) {
    Need(kInt);
    const auto v = static_cast<std::int32_t>(archive::LoadLe32(&b_[pos_]));
    Add(kInt, r, member);
    return v;
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
}  // namespace

ArchiveMap ArchiveMap::Of(const std::vector<std::uint8_t>& bytes) {
  ArchiveMap map;
  Walker w(bytes, map);
  const std::int32_t titleLength = w.Int(Region::kHeader, -1);
  if (titleLength < 0) throw std::runtime_error("archive map: title length");
  w.Bytes(static_cast<std::size_t>(titleLength), Region::kHeader, -1);
  w.Int(Region::kHeader, -1);  // TotalSize
  w.Int(Region::kHeader, -1);  // FileCount
  for (int index = 0;; ++index) {
    const std::size_t start = w.Pos();
    const std::int32_t nameLength = w.Int(Region::kNameLength, index);
    if (nameLength == 0) {
      map.spans.back().region = Region::kEndOfArchive;
      map.spans.back().member = -1;
      break;
    }
    if (nameLength < 0) throw std::runtime_error("archive map: name length");
    MemberInfo m;
    m.begin = start;
    m.name = w.Text(static_cast<std::size_t>(nameLength), Region::kName, index);
    w.Int(Region::kDateTime, index);
    w.Bytes(kInt, Region::kSignature, index);
    for (;;) {
      const std::int32_t length = w.Int(Region::kBlockLength, index);
      if (length == 0) {
        map.spans.back().region = Region::kEndOfMember;
        break;
      }
      const std::size_t n = length < 0 ? static_cast<std::size_t>(-static_cast<std::int64_t>(length))
                                       : static_cast<std::size_t>(length);
      w.Bytes(n, length > 0 ? Region::kCompressedData : Region::kStoredData, index);
      ++m.blocks;
    }
    m.end = w.Pos();
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

}  // namespace robust
