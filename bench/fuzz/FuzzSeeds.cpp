// Writes the seed corpora of the fuzz targets, every seed made by the archive writer:
//   <out>/catalogue/  archives with and without a catalogue, empty, compressible, stored
//   <out>/restore/    the same with an option byte in front (full paths, restore modes)
//   <out>/volumes/    multi-volume archives, their volumes joined by kVolumeSeparator
// Usage: lumi-fuzz-seeds <out folder>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "archive/ArchiveWriter.h"
#include "platform/Error.h"
#include "platform/Stream.h"
#include "support/ArchiveBytes.h"
#include "support/SeededBytes.h"

namespace {

namespace fs = std::filesystem;

// The seeds' own words (not the damage sweeps'): the corpora stay as they were grown from.
std::string Text(std::size_t size, unsigned seed) {
  static const std::vector<std::string> words = {"fattura ", "cliente ", "importo ", "data ", "\r\n"};
  return testsupport::Words(size, seed, words);
}

using testsupport::Noise;

using testsupport::Member;

std::string Archive(const std::vector<archive::WriterMember>& members, bool catalogue) {
  archive::WriterOptions o;
  o.title = "3.0.0.3";
  o.writeCatalogue = catalogue;
  const std::vector<std::uint8_t> bytes = testsupport::Build(members, o);
  return std::string(bytes.begin(), bytes.end());
}

void Save(const fs::path& folder, const std::string& name, const std::string& bytes) {
  fs::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::string ReadHost(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <out folder>\n", argv[0]);
    return 2;
  }
  const fs::path out = argv[1];
  try {
    struct Seed {
      std::string name;
      std::string bytes;
    };
    const std::vector<Seed> archives = {
        {"empty", Archive({}, true)},
        {"empty-file", Archive({Member("c:\\nortavia\\lumidesk\\vuoto.txt", "")}, true)},
        {"text", Archive({Member("c:\\nortavia\\lumidesk\\leggimi.txt", Text(3000, 1))}, true)},
        {"two-blocks", Archive({Member("c:\\nortavia\\lumidesk\\lumidesk.hlp", Text(20000, 2))}, true)},
        {"stored", Archive({Member("c:\\nortavia\\lumidesk\\lumidesk.exe", Noise(5000, 3))}, true)},
        {"no-catalogue", Archive({Member("c:\\a\\b.txt", Text(700, 4))}, false)},
        {"templates", Archive({Member("c:\\nortavia\\lumidesk\\modellirtf\\fattura.rvf", Text(2500, 5)),
                               Member("c:\\nortavia\\lumidesk\\modellirtf\\logo.bmp", Noise(600, 6)),
                               Member("c:\\nortavia\\lumidesk\\search.ico", Noise(300, 7))},
                              true)},
    };
    for (const Seed& s : archives) {
      Save(out / "catalogue", s.name, s.bytes);
      // Option bytes: flat names with every restore mode, and full paths.
      for (std::uint8_t option : {std::uint8_t{0}, std::uint8_t{1}, std::uint8_t{4}}) {
        Save(out / "restore", s.name + "-" + std::to_string(option),
             std::string(1, static_cast<char>(option)) + s.bytes);
      }
    }

    // Volumes: the writer splits to files; the seed joins them with the separator.
    const fs::path work = out / "volume-work";
    fs::create_directories(work);
    const std::string sep(fuzzing::kVolumeSeparator, fuzzing::kVolumeSeparatorLength);
    struct Split {
      std::string name;
      std::int64_t maxSize;
      std::vector<archive::WriterMember> members;
    };
    const std::vector<Split> splits = {
        {"split-text", 6000, {Member("c:\\a\\uno.txt", Text(60000, 8))}},
        {"split-noise", 3300, {Member("c:\\a\\due.bin", Noise(3000, 9)), Member("c:\\a\\tre.txt", Text(800, 10))}},
        {"split-small", 400, {Member("c:\\a\\x.txt", Text(300, 11)), Member("c:\\a\\y.txt", Text(300, 12)),
                              Member("c:\\a\\z.txt", Text(300, 13))}},
    };
    for (const Split& s : splits) {
      archive::WriterOptions o;
      o.title = "3.0.0.3";
      o.maxSize = s.maxSize;
      const std::string first = (work / (s.name + ".lpk")).string();
      archive::WriteSummary summary = archive::ArchiveWriter(o).WriteVolumes(s.members, first);
      std::vector<std::string> files = summary.volumes;
      if (files.empty()) files.push_back(first);
      std::string joined;
      for (std::size_t i = 0; i < files.size(); ++i) {
        if (i > 0) joined += sep;
        joined += ReadHost(files[i]);
      }
      Save(out / "volumes", s.name, joined);
    }
    fs::remove_all(work);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "seeds: %s\n", e.what());
    return 1;
  }
  return 0;
}
