// Builds archive bytes by hand, independently of the writer, so that tests can state what the
// format prescribes and craft damaged archives field by field.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testbytes {

constexpr std::size_t kPiece = 16384;

inline std::vector<std::uint8_t> Compress(const std::uint8_t* data, std::size_t n, int level) {
  uLongf length = compressBound(static_cast<uLong>(n));
  std::vector<std::uint8_t> out(length);
  compress2(out.data(), &length, data, static_cast<uLong>(n), level);
  out.resize(length);
  return out;
}

class Bytes {
 public:
  Bytes& Int(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
    return *this;
  }
  Bytes& Raw(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    return *this;
  }
  Bytes& Raw(const std::vector<std::uint8_t>& v) {
    b.insert(b.end(), v.begin(), v.end());
    return *this;
  }
  Bytes& Text(const std::string& s) { return Int(static_cast<std::int32_t>(s.size())).Raw(s); }
  Bytes& Header(const std::string& title, std::int32_t totalSize, std::int32_t fileCount) {
    return Text(title).Int(totalSize).Int(fileCount);
  }
  Bytes& MemberStart(const std::string& name, std::uint32_t dateTime) {
    return Text(name).Int(static_cast<std::int32_t>(dateTime)).Raw(std::string("EC2\0", 4));
  }
  // The blocks of content as the format prescribes: 16,384-byte pieces, each zlib's one-call
  // compression at level, or stored when that is not shorter; then the end-of-member marker.
  Bytes& Blocks(const std::string& content, int level = 1) {
    for (std::size_t at = 0; at < content.size(); at += kPiece) {
      const std::size_t n = content.size() - at < kPiece ? content.size() - at : kPiece;
      const auto* piece = reinterpret_cast<const std::uint8_t*>(content.data() + at);
      const auto packed = Compress(piece, n, level);
      if (packed.size() < n) {
        Int(static_cast<std::int32_t>(packed.size())).Raw(packed);
      } else {
        Int(-static_cast<std::int32_t>(n)).Raw(content.substr(at, n));
      }
    }
    return Int(0);
  }
  Bytes& Member(const std::string& name, std::uint32_t dateTime, const std::string& content,
                int level = 1) {
    return MemberStart(name, dateTime).Blocks(content, level);
  }
  std::string Str() const { return std::string(b.begin(), b.end()); }

  std::vector<std::uint8_t> b;
};

inline std::string CatalogueLine(const std::string& name, std::uint32_t dateTime,
                                 std::size_t size) {
  return name + "\t" + std::to_string(dateTime) + "=" + std::to_string(size) + "\r\n";
}

}  // namespace testbytes
