#include "tools/lumipack/Catalogue.h"

#include <cstdio>

#include "archive/BackupFormat.h"

namespace lumipack {

bool ReadCatalogue(ArchiveWalker& walker, std::vector<CatalogueLine>& lines) {
  std::string text;
  const auto members = walker.Walk(
      [](const MemberRecord& m) { return m.index == 0 && m.name == archive::kCatalogueName; },
      [&text](const MemberRecord&, const std::uint8_t* data, std::size_t n) {
        text.append(reinterpret_cast<const char*>(data), n);
      },
      1);
  if (members.empty() || members[0].name != archive::kCatalogueName) return false;
  std::string error;
  if (!ParseCatalogue(text, lines, error)) {
    throw Failure(walker.Volumes().front(), archive::kCatalogueName, error);
  }
  return true;
}

std::string FormatDosDateTime(std::uint32_t dosDateTime) {
  const unsigned date = dosDateTime >> 16, time = dosDateTime & 0xFFFF;
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", 1980 + (date >> 9),
                (date >> 5) & 15, date & 31, time >> 11, (time >> 5) & 63, (time & 31) * 2);
  return text;
}

std::string SignedInstallerLine(std::int64_t certificateTableSize) {
  return "Signed: certificate table of " + std::to_string(certificateTableSize) +
         " bytes after the payload (the signature is not checked here)\n";
}

}  // namespace lumipack
