// The test program image and its security directory.
#include "support/PeImage.h"

#include <stdexcept>

#include "support/ArchiveBytes.h"

namespace testsupport {

namespace {

constexpr std::size_t kPeOffset = 0x40;
constexpr std::size_t kHeadersSize = 0x200;
constexpr std::size_t kOptional = kPeOffset + 24;

void Put16(std::string& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<char>(v);
  b[at + 1] = static_cast<char>(v >> 8);
}

void Put32(std::string& b, std::size_t at, std::uint32_t v) { StoreInt(b, at, v); }

std::size_t SecurityEntry(const std::string& file) {
  const bool pe32plus = static_cast<unsigned char>(file[kOptional]) == 0x0B &&
                        static_cast<unsigned char>(file[kOptional + 1]) == 0x02;
  return kOptional + (pe32plus ? 112 : 96) + 4 * 8;
}

}  // namespace

std::string PeImage(std::size_t size, bool pe32plus) {
  if (size < 2 * kHeadersSize) throw std::invalid_argument("a PE image of at least 1024 bytes");
  std::string b(size, '\0');
  b[0] = 'M';
  b[1] = 'Z';
  Put32(b, 0x3C, kPeOffset);
  b.replace(kPeOffset, 4, std::string("PE\0\0", 4));
  Put16(b, kPeOffset + 4, pe32plus ? 0x8664 : 0x14C);  // machine
  Put16(b, kPeOffset + 6, 1);                          // sections
  const std::uint16_t optionalSize = pe32plus ? 112 + 16 * 8 : 96 + 16 * 8;
  Put16(b, kPeOffset + 20, optionalSize);
  Put16(b, kOptional, pe32plus ? 0x20B : 0x10B);
  Put32(b, kOptional + 60, kHeadersSize);            // SizeOfHeaders
  Put32(b, kOptional + (pe32plus ? 108 : 92), 16);  // NumberOfRvaAndSizes
  const std::size_t section = kOptional + optionalSize;
  b.replace(section, 5, ".text");
  Put32(b, section + 16, static_cast<std::uint32_t>(size - kHeadersSize));  // SizeOfRawData
  Put32(b, section + 20, kHeadersSize);                                      // PointerToRawData
  for (std::size_t i = kHeadersSize; i < size; ++i) b[i] = static_cast<char>(0x90);
  return b;
}

void SetSecurityDirectory(std::string& file, std::uint32_t offset, std::uint32_t size) {
  const std::size_t entry = SecurityEntry(file);
  Put32(file, entry, offset);
  Put32(file, entry + 4, size);
}

void AppendCertificateTable(std::string& file, const std::string& table) {
  file.append((8 - file.size() % 8) % 8, '\0');
  SetSecurityDirectory(file, static_cast<std::uint32_t>(file.size()),
                       static_cast<std::uint32_t>(table.size()));
  file += table;
}

}  // namespace testsupport
