// lumi-synth: writes the synthetic product files and/or their archive.
//   lumi-synth [--files DIR] [--archive OUT [--stub EXE]]
#include <cstdio>
#include <cstring>
#include <string>

#include "archive/ArchiveWriter.h"
#include "platform/Error.h"
#include "tools/synthetic/SyntheticPayload.h"

int main(int argc, char** argv) {
  std::string files, archivePath, stub;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 < argc && arg == "--files") files = argv[++i];
    else if (i + 1 < argc && arg == "--archive") archivePath = argv[++i];
    else if (i + 1 < argc && arg == "--stub") stub = argv[++i];
    else {
      std::fprintf(stderr, "usage: lumi-synth [--files DIR] [--archive OUT [--stub EXE]]\n");
      return 2;
    }
  }
  if (files.empty() && archivePath.empty()) {
    std::fprintf(stderr, "usage: lumi-synth [--files DIR] [--archive OUT [--stub EXE]]\n");
    return 2;
  }
  try {
    plat::FileSystem& fs = plat::RealFileSystem();
    if (!files.empty()) {
      const std::string root = synthetic::WriteFiles(files, fs);
      std::printf("%d files written below %s\n", synthetic::kFileCount, root.c_str());
    }
    if (!archivePath.empty()) {
      auto out = fs.Create(archivePath);
      archive::ArchiveWriter writer(synthetic::PayloadOptions(), fs);
      archive::WriteSummary s;
      if (stub.empty()) {
        s = writer.Write(synthetic::Members(), *out);
      } else {
        auto stubStream = fs.OpenRead(stub);
        s = writer.WriteInstaller(*stubStream, synthetic::Members(), *out);
      }
      std::printf("%s: %lld archive bytes, %lld blocks (%lld stored)\n", archivePath.c_str(),
                  static_cast<long long>(s.archiveBytes), static_cast<long long>(s.blockCount),
                  static_cast<long long>(s.storedBlocks));
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "lumi-synth: %s\n", e.what());
    return 1;
  }
  return 0;
}
