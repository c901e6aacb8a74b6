// Fuzz target: multi-volume reading. The input is cut at each kVolumeSeparator into volume
// files "a.lpk", "a.002", "a.003", ... in a folder of the temporary root, and the first is
// restored by name, so that volume markers are followed to the files that exist. The disk
// prompt answers "go on" only when the volume the reader asks for is there. Findings as for the
// restore target; the volumes' own folder is never written to.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FuzzScratch.h"
#include "archive/BackupFile.h"
#include "archive/BackupFormat.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace {
constexpr char kInputFolder[] = "c:\\in";
constexpr char kDestination[] = "c:\\out";
constexpr std::size_t kMostVolumes = 8;

std::string VolumePath(int disk) {
  const std::string first = std::string(kInputFolder) + "\\a.lpk";
  return disk == 1 ? first : archive::NextVolumeName(first, disk);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> volumes = fuzzing::SplitVolumes(data, size);
  if (volumes.size() > kMostVolumes) volumes.resize(kMostVolumes);
  const std::string hostIn = fuzzing::HostPath(kInputFolder);
  std::filesystem::create_directories(hostIn);
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    std::ofstream(fuzzing::HostPath(VolumePath(static_cast<int>(i + 1))), std::ios::binary)
        << volumes[i];
  }

  plat::FileSystem& fs = plat::RealFileSystem();
  archive::TBackupFile bf;
  int reports = 0;
  bf.OnError = [&reports](archive::TBackupFile*, std::int32_t, std::string) { ++reports; };
  // Asked about the file the reader will open, not one named from the disk number here: a
  // name of its own could exist while the reader's does not, and the prompt would never end.
  bf.OnNeedDisk = [&fs](archive::TBackupFile* reader, std::uint16_t, bool& go) {
    go = fs.FileExists(reader->VolumeName());
  };
  bool threw = false;
  bool result = false;
  try {
    result = bf.Restore(VolumePath(1), kDestination);
  } catch (const plat::Error&) {
    threw = true;
  }
  if (reports > 1 || (threw && reports != 0) || (result && reports != 0)) std::abort();
  // The volumes are read, never written.
  for (std::size_t i = 0; i < volumes.size(); ++i) {
    std::ifstream in(fuzzing::HostPath(VolumePath(static_cast<int>(i + 1))), std::ios::binary);
    const std::string now((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (now != volumes[i]) std::abort();
  }
  fuzzing::CheckContainedAndClear({fuzzing::HostPath(kDestination), hostIn});
  return 0;
}
