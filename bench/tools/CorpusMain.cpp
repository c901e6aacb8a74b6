// lumi-corpus: writes the benchmark corpus described by a corpus list.
//   lumi-corpus LIST OUTDIR [--scale S]
// S (0 < S <= 1) shrinks every file by that factor for quick runs; the full corpus is S = 1.
// Every file gets the same fixed last-write time, so archives of the corpus are the same bytes
// on every run.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "bench/tools/Corpus.h"
#include "platform/Files.h"

namespace {

// 22 November 2004, 17:54:04 (the synthetic payload's catalogue date).
constexpr std::int32_t kFileDateTime = 0x31768EC2;
constexpr std::int32_t kWriteChunk = 1 << 20;

int Usage() {
  std::fprintf(stderr, "usage: lumi-corpus LIST OUTDIR [--scale S]   (0 < S <= 1)\n");
  return 2;
}

void WriteAll(plat::Stream& out, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t done = 0; done < bytes.size();) {
    const std::size_t left = bytes.size() - done;
    const auto n = static_cast<std::int32_t>(left < static_cast<std::size_t>(kWriteChunk) ? left : kWriteChunk);
    if (out.Write(bytes.data() + done, n) != n) throw std::runtime_error("short write");
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 5) return Usage();
  double scale = 1.0;
  if (argc == 5) {
    if (std::string(argv[3]) != "--scale") return Usage();
    char* end = nullptr;
    scale = std::strtod(argv[4], &end);
    if (end == argv[4] || *end != '\0' || !(scale > 0.0 && scale <= 1.0)) return Usage();
  }
  try {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
    std::ostringstream text;
    text << in.rdbuf();
    const std::vector<bench::CorpusFile> files = bench::ParseCorpusList(text.str());
    plat::FileSystem& fs = plat::RealFileSystem();
    const std::string root = argv[2];
    std::uint64_t total = 0;
    for (const bench::CorpusFile& f : files) {
      const std::string path = root + "/" + f.path;
      const std::size_t slash = path.rfind('/');
      if (!fs.ForceDirectories(path.substr(0, slash))) {
        throw std::runtime_error("cannot create the folder of " + path);
      }
      const std::uint64_t size = bench::ScaledSize(f.size, scale);
      auto out = fs.Create(path);
      WriteAll(*out, bench::MakeContent(f, size));
      if (!out->SetDosDateTime(kFileDateTime)) throw std::runtime_error("cannot date " + path);
      total += size;
    }
    std::printf("%zu files, %llu bytes below %s\n", files.size(),
                static_cast<unsigned long long>(total), root.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lumi-corpus: %s\n", e.what());
    return 1;
  }
  return 0;
}
