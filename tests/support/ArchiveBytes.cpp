#include "support/ArchiveBytes.h"

#include <zlib.h>

#include <memory>
#include <stdexcept>

#include "platform/Stream.h"

namespace testsupport {

std::vector<std::uint8_t> Compress(const std::uint8_t* data, std::size_t n, int level) {
  uLongf length = compressBound(static_cast<uLong>(n));
  std::vector<std::uint8_t> out(length);
  if (compress2(out.data(), &length, data, static_cast<uLong>(n), level) != Z_OK) {
    throw std::runtime_error("compress2 failed");
  }
  out.resize(length);
  return out;
}

std::vector<std::uint8_t> Compress(const std::string& data, int level) {
  return Compress(reinterpret_cast<const std::uint8_t*>(data.data()), data.size(), level);
}

ArchiveBytes& ArchiveBytes::Int(std::int32_t v) {
  const auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
  return *this;
}

ArchiveBytes& ArchiveBytes::Raw(const std::string& s) {
  b.insert(b.end(), s.begin(), s.end());
  return *this;
}

ArchiveBytes& ArchiveBytes::Raw(const std::vector<std::uint8_t>& v) {
  b.insert(b.end(), v.begin(), v.end());
  return *this;
}

ArchiveBytes& ArchiveBytes::Text(const std::string& s) {
  return Int(static_cast<std::int32_t>(s.size())).Raw(s);
}

ArchiveBytes& ArchiveBytes::Header(const std::string& title, std::int32_t totalSize,
                                   std::int32_t fileCount) {
  return Text(title).Int(totalSize).Int(fileCount);
}

ArchiveBytes& ArchiveBytes::MemberStart(const std::string& name, std::uint32_t dateTime) {
  return Text(name).Int(static_cast<std::int32_t>(dateTime)).Raw(std::string("EC2\0", 4));
}

ArchiveBytes& ArchiveBytes::Blocks(const std::string& content, int level) {
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

std::string CatalogueLine(const std::string& name, std::uint32_t dateTime, std::size_t size) {
  return name + "\t" + std::to_string(dateTime) + "=" + std::to_string(size) + "\r\n";
}

std::int32_t LoadInt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  std::uint32_t v = 0;
  for (std::size_t i = 4; i-- > 0;) v = (v << 8) | bytes.at(offset + i);
  return static_cast<std::int32_t>(v);
}

void StoreInt(std::string& bytes, std::size_t offset, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<char>(v >> (8 * i));
}

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

std::vector<std::uint8_t> Installer(const std::vector<std::uint8_t>& archive, std::size_t stubSize) {
  ArchiveBytes file;
  file.Raw("MZ").Raw(std::string(stubSize - 2, '\x90')).Raw(archive);
  return file.Int(static_cast<std::int32_t>(stubSize)).b;
}

std::string Installer(const std::string& archive, std::size_t stubSize) {
  const std::vector<std::uint8_t> file = Installer(Bytes(archive), stubSize);
  return std::string(file.begin(), file.end());
}

archive::WriterMember Member(const std::string& name, const std::string& bytes,
                             std::uint32_t when) {
  archive::WriterMember m;
  m.name = name;
  m.dosDateTime = when;
  m.size = static_cast<std::int64_t>(bytes.size());
  m.open = [bytes] {
    return std::make_unique<plat::MemoryStream>(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  };
  return m;
}

std::vector<std::uint8_t> Build(const std::vector<archive::WriterMember>& members,
                                archive::WriterOptions options) {
  plat::MemoryStream out;
  archive::ArchiveWriter(options).Write(members, out);
  return out.Bytes();
}

}  // namespace testsupport
