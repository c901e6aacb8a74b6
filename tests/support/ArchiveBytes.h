// Archive bytes for tests, made two ways: by hand, field by field and independently of the
// writer, so that a test can state what the format prescribes and craft damage where it wants
// it; and by the archive writer from members held in memory. Also the installer around an
// archive: a stub, the archive and the payload trailer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"

namespace testsupport {

// 4 July 2003, 08:28:32 and 22 November 2004, 17:54:04 as DOS date-times.
constexpr std::uint32_t kJuly2003 = (23u << 25) | (7u << 21) | (4u << 16) | (8u << 11) | (28u << 5) | 16u;
constexpr std::uint32_t kNov2004 = 0x31768EC2u;

// What a block holds at most before compression.
constexpr std::size_t kPiece = 16384;

// zlib's one-call compression of n bytes at level. Throws std::runtime_error if zlib fails.
std::vector<std::uint8_t> Compress(const std::uint8_t* data, std::size_t n, int level = 1);
std::vector<std::uint8_t> Compress(const std::string& data, int level = 1);

// An archive written field by field: every call appends to b.
class ArchiveBytes {
 public:
  ArchiveBytes& Int(std::int32_t v);  // 4 bytes, little-endian
  ArchiveBytes& Raw(const std::string& s);
  ArchiveBytes& Raw(const std::vector<std::uint8_t>& v);
  ArchiveBytes& Text(const std::string& s);  // its length, then its bytes
  ArchiveBytes& Header(const std::string& title, std::int32_t totalSize, std::int32_t fileCount);
  // Name, date-time and signature: what comes before a member's blocks.
  ArchiveBytes& MemberStart(const std::string& name, std::uint32_t dateTime);
  // The blocks of content as the format prescribes: 16,384-byte pieces, each zlib's one-call
  // compression at level, or stored when that is not shorter; then the end-of-member marker.
  ArchiveBytes& Blocks(const std::string& content, int level = 1);
  ArchiveBytes& Member(const std::string& name, std::uint32_t dateTime, const std::string& content,
                       int level = 1) {
    return MemberStart(name, dateTime).Blocks(content, level);
  }
  std::string Str() const { return std::string(b.begin(), b.end()); }

  std::vector<std::uint8_t> b;
};

// One line of the catalogue: name, tab, date-time, "=", size, CR LF.
std::string CatalogueLine(const std::string& name, std::uint32_t dateTime, std::size_t size);

// The little-endian 32-bit value at offset, and the same written over bytes already there.
std::int32_t LoadInt(const std::vector<std::uint8_t>& bytes, std::size_t offset);
void StoreInt(std::string& bytes, std::size_t offset, std::uint32_t v);
std::vector<std::uint8_t> Bytes(const std::string& s);

// An installer as the readers see one: a stub of stubSize bytes ("MZ", then 0x90), the archive,
// and the 4-byte trailer naming where the archive starts.
std::vector<std::uint8_t> Installer(const std::vector<std::uint8_t>& archive, std::size_t stubSize);
std::string Installer(const std::string& archive, std::size_t stubSize);

// A writer member with the given content.
archive::WriterMember Member(const std::string& name, const std::string& bytes,
                             std::uint32_t when = kJuly2003);
// The archive the writer makes of members, in memory.
std::vector<std::uint8_t> Build(const std::vector<archive::WriterMember>& members,
                                archive::WriterOptions options = {});

}  // namespace testsupport
