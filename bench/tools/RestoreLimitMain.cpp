// lumi-restore-limit: the bare restore loop as a program, timed from outside like its peers.
//   lumi-restore-limit ARCHIVE [-d DIR] [--codec zlib|libdeflate]
// Without -d the output stays in memory.
#include <cstdio>
#include <memory>
#include <string>

#include "bench/tools/RestoreLimit.h"

int main(int argc, char** argv) {
  std::string archivePath, dir, codec = "zlib";
  bool usable = true;
  for (int i = 1; i < argc && usable; ++i) {
    const std::string arg = argv[i];
    if (arg == "-d" && i + 1 < argc) dir = argv[++i];
    else if (arg == "--codec" && i + 1 < argc) codec = argv[++i];
    else if (archivePath.empty() && !arg.empty() && arg[0] != '-') archivePath = arg;
    else usable = false;
  }
  if (!usable || archivePath.empty()) {
    std::fprintf(stderr, "usage: lumi-restore-limit ARCHIVE [-d DIR] [--codec zlib|libdeflate]\n");
    return 2;
  }
  try {
    std::unique_ptr<bench::BlockInflater> inflater;
    if (codec == "zlib") inflater = bench::MakeZlibInflater();
    else if (codec == "libdeflate") inflater = bench::MakeLibdeflateInflater();
    if (!inflater) {
      std::fprintf(stderr, "lumi-restore-limit: codec %s is not in this build\n", codec.c_str());
      return 2;
    }
    const bench::LimitResult r = bench::RunRestoreLimit(archivePath, dir, *inflater);
    std::printf("%llu files, %llu bytes, %llu blocks\n", static_cast<unsigned long long>(r.files),
                static_cast<unsigned long long>(r.bytes), static_cast<unsigned long long>(r.blocks));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lumi-restore-limit: %s\n", e.what());
    return 1;
  }
  return 0;
}
