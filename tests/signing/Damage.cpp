// lumi-sign-damage: copies of a signed installer, each with one change that the archive format
// itself cannot see (a byte of a stored block, of a file member's name, of its date-time), and
// one with bytes appended after the certificate table.
//   lumi-sign-damage UNSIGNED SIGNED FOLDER
// The unsigned installer is mapped (signing moves none of the archive's bytes, which is
// checked); the copies are FOLDER/signed-stored-block.exe, -name.exe, -date-time.exe and
// -appended.exe.
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/Payload.h"
#include "support/ArchiveMap.h"

namespace {

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw std::runtime_error("cannot open " + path);
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[65536];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(f);
  return bytes;
}

void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    throw std::runtime_error("cannot write " + path);
  }
}

// The first span of this region, in the first file member when member is not -1.
const testsupport::Span& Find(const testsupport::ArchiveMap& map, testsupport::Region region, int member) {
  for (const testsupport::Span& s : map.spans) {
    if (s.region == region && (member == -1 || s.member == member)) return s;
  }
  throw std::runtime_error(std::string("the archive has no ") + testsupport::RegionName(region));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: lumi-sign-damage UNSIGNED SIGNED FOLDER\n");
    return 2;
  }
  try {
    const std::vector<std::uint8_t> plain = ReadAll(argv[1]);
    const std::vector<std::uint8_t> signedFile = ReadAll(argv[2]);
    const std::string folder = argv[3];
    if (plain.size() < 4 || signedFile.size() <= plain.size()) {
      throw std::runtime_error("the signed installer is not longer than the unsigned one");
    }
    const std::size_t payload = archive::LoadLe32(&plain[plain.size() - 4]);
    if (payload > plain.size() - 4) throw std::runtime_error("the unsigned trailer is wrong");
    const std::vector<std::uint8_t> archiveBytes(plain.begin() + static_cast<std::ptrdiff_t>(payload),
                                                 plain.end() - 4);
    if (!std::equal(plain.begin() + static_cast<std::ptrdiff_t>(payload), plain.end(),
                    signedFile.begin() + static_cast<std::ptrdiff_t>(payload))) {
      throw std::runtime_error("signing moved or changed the archive or its trailer");
    }
    const testsupport::ArchiveMap map = testsupport::ArchiveMap::Of(archiveBytes);
    const int firstFile = map.members.size() > 1 ? 1 : 0;  // after the catalogue
    const struct {
      const char* name;
      testsupport::Region region;
      int member;
    } changes[] = {
        {"stored-block", testsupport::Region::kStoredData, -1},
        {"name", testsupport::Region::kName, firstFile},
        {"date-time", testsupport::Region::kDateTime, firstFile},
    };
    for (const auto& c : changes) {
      const testsupport::Span& span = Find(map, c.region, c.member);
      std::vector<std::uint8_t> copy = signedFile;
      const std::size_t at = payload + span.begin + (span.end - span.begin) / 2;
      copy[at] ^= 0x01;
      WriteAll(folder + "/signed-" + c.name + ".exe", copy);
      std::printf("signed-%s.exe: byte %zu changed (%s of member %d)\n", c.name, at,
                  testsupport::RegionName(c.region), span.member);
    }
    std::vector<std::uint8_t> appended = signedFile;
    const std::string extra = "appended after the certificate table";
    appended.insert(appended.end(), extra.begin(), extra.end());
    WriteAll(folder + "/signed-appended.exe", appended);
    std::printf("signed-appended.exe: %zu bytes appended\n", extra.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lumi-sign-damage: %s\n", e.what());
    return 1;
  }
  return 0;
}
