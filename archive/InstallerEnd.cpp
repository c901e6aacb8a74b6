// The PE headers as far as the certificate table needs them: the DOS header's pointer to the PE
// signature, the COFF header, the optional header (PE32 or PE32+) up to data directory 4, and
// the section table for the end of the program's image. Every offset comes from the file, so
// each read is checked against the file's size first.
#include "archive/InstallerEnd.h"

#include <algorithm>
#include <cstring>

#include "archive/BackupFormat.h"

namespace archive {

namespace {

constexpr std::int64_t kDosHeaderSize = 64;
constexpr std::int64_t kPeOffsetField = 0x3C;  // e_lfanew
constexpr char kPeSignature[4] = {'P', 'E', '\0', '\0'};
// The PE signature and the COFF header after it; the optional header follows.
constexpr std::int64_t kPeHeadersSize = 24;
constexpr std::int64_t kSectionCountField = 6;
constexpr std::int64_t kOptionalHeaderSizeField = 20;
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint16_t kPe32PlusMagic = 0x20B;
// Fields of the optional header; the data directories move 16 bytes on in PE32+, whose image
// base is 8 bytes and which has no BaseOfData.
constexpr std::int64_t kSizeOfHeadersField = 60;
constexpr std::int64_t kPe32DirectoryCountField = 92;
constexpr std::int64_t kPe32Directories = 96;
constexpr std::int64_t kPe32PlusDirectoryCountField = 108;
constexpr std::int64_t kPe32PlusDirectories = 112;
constexpr std::int64_t kDirectoryEntrySize = 8;
constexpr std::uint32_t kSecurityDirectory = 4;
// Enough of the optional header for data directory 4 in either form.
constexpr std::int64_t kOptionalHeaderWanted =
    kPe32PlusDirectories + (kSecurityDirectory + 1) * kDirectoryEntrySize;
constexpr std::int64_t kSectionHeaderSize = 40;
constexpr std::int64_t kRawSizeField = 16;
constexpr std::int64_t kRawPointerField = 20;
constexpr std::uint32_t kMaxSections = 96;  // what the Windows loader accepts

std::uint16_t LoadLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Reads n bytes at offset when the file holds them all; false, with nothing read, otherwise.
bool ReadAt(plat::Stream& s, std::int64_t size, std::int64_t offset, std::uint8_t* buffer,
            std::int64_t n) {
  if (offset < 0 || offset > size || n > size - offset) return false;
  s.Seek(offset, plat::Stream::Origin::Begin);
  s.ReadBuffer(buffer, static_cast<std::int32_t>(n));
  return true;
}

// The damage: pattern with each "%" replaced by the next of the numbers. One routine rather
// than a chain of concatenations per message, since the installer carries all of them.
void SetDamage(InstallerEnd& result, const char* pattern, std::int64_t first,
               std::int64_t second = 0, std::int64_t third = 0) {
  const std::int64_t numbers[] = {first, second, third};
  int next = 0;
  for (const char* p = pattern; *p != '\0'; ++p) {
    if (*p == '%' && next < 3) {
      result.damage += std::to_string(numbers[next++]);
    } else {
      result.damage += *p;
    }
  }
}

}  // namespace

InstallerEnd FindInstallerEnd(plat::Stream& installer) {
  InstallerEnd result;
  const std::int64_t size = installer.Size();
  result.end = size;

  std::uint8_t dos[kDosHeaderSize];
  if (!ReadAt(installer, size, 0, dos, kDosHeaderSize) || dos[0] != 'M' || dos[1] != 'Z') {
    return result;
  }
  const std::int64_t pe = LoadLe32(dos + kPeOffsetField);
  std::uint8_t headers[kPeHeadersSize];
  if (!ReadAt(installer, size, pe, headers, kPeHeadersSize) ||
      std::memcmp(headers, kPeSignature, sizeof kPeSignature) != 0) {
    return result;
  }
  const std::uint32_t sections = LoadLe16(headers + kSectionCountField);
  const std::int64_t optionalSize = LoadLe16(headers + kOptionalHeaderSizeField);
  const std::int64_t optional = pe + kPeHeadersSize;
  std::uint8_t opt[kOptionalHeaderWanted];
  const std::int64_t optRead = std::min(optionalSize, kOptionalHeaderWanted);
  if (optRead < 2 || !ReadAt(installer, size, optional, opt, optRead)) return result;
  std::int64_t countField = 0;
  std::int64_t directories = 0;
  switch (LoadLe16(opt)) {
    case kPe32Magic:
      countField = kPe32DirectoryCountField;
      directories = kPe32Directories;
      break;
    case kPe32PlusMagic:
      countField = kPe32PlusDirectoryCountField;
      directories = kPe32PlusDirectories;
      break;
    default:
      return result;
  }
  const std::int64_t entry = directories + kSecurityDirectory * kDirectoryEntrySize;
  if (optRead < entry + kDirectoryEntrySize || LoadLe32(opt + countField) <= kSecurityDirectory) {
    return result;
  }
  const std::int64_t tableOffset = LoadLe32(opt + entry);
  const std::int64_t tableSize = LoadLe32(opt + entry + 4);
  if (tableSize == 0) return result;  // no certificate table, whatever the offset says
  result.certificateTable = tableOffset;
  result.certificateTableSize = tableSize;

  if (tableOffset > size || tableSize > size - tableOffset) {
    if (tableOffset <= size) result.end = tableOffset;
    SetDamage(result, "the certificate table (offset %, % bytes) runs past the end of the "
                      "file (% bytes): the file is incomplete",
              tableOffset, tableSize, size);
    return result;
  }
  result.end = tableOffset;
  if (tableSize < size - tableOffset) {
    SetDamage(result, "% bytes follow the certificate table (offset %, % bytes), which must "
                      "end the file",
              size - tableOffset - tableSize, tableOffset, tableSize);
    return result;
  }

  // The image ends with the headers or the last section's raw data, whichever lies further.
  std::int64_t imageEnd = LoadLe32(opt + kSizeOfHeadersField);
  const std::int64_t sectionTable = optional + optionalSize;
  for (std::uint32_t i = 0; i < sections; ++i) {
    std::uint8_t section[kSectionHeaderSize];
    if (sections > kMaxSections || !ReadAt(installer, size, sectionTable + i * kSectionHeaderSize,
                                           section, kSectionHeaderSize)) {
      SetDamage(result, "the program's table of % sections cannot be read", sections);
      return result;
    }
    const std::int64_t rawSize = LoadLe32(section + kRawSizeField);
    const std::int64_t rawPointer = LoadLe32(section + kRawPointerField);
    if (rawSize != 0) imageEnd = std::max(imageEnd, rawPointer + rawSize);
  }
  if (tableOffset < imageEnd) {
    SetDamage(result, "the certificate table (offset %, % bytes) starts inside the "
                      "program's image, which ends at %",
              tableOffset, tableSize, imageEnd);
    return result;
  }

  // The payload trailer stands right before the table and names a start between the image
  // and itself; anything else there means the table starts inside the archive.
  std::uint8_t trailer[kTrailerSize];
  const bool room = tableOffset - imageEnd >= kTrailerSize &&
                    ReadAt(installer, size, tableOffset - kTrailerSize, trailer, kTrailerSize);
  const std::int64_t payload = room ? static_cast<std::int64_t>(LoadLe32(trailer)) : -1;
  if (payload < imageEnd || payload > tableOffset - kTrailerSize) {
    SetDamage(result, "the certificate table (offset %, % bytes) starts inside the "
                      "archive: no payload trailer before it names a start after the "
                      "program's image (%)",
              tableOffset, tableSize, imageEnd);
    return result;
  }
  return result;
}

}  // namespace archive
