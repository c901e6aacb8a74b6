// Fuzz target: a restore into a temporary root. The first input byte picks the options (full
// paths, restore mode), the rest is the archive, read through a stream as the installer reads
// its payload. Findings: a crash or sanitizer report, an exception other than plat::Error, an
// error reported more than once, anything written outside the destination folder.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzScratch.h"
#include "archive/BackupFile.h"
#include "platform/Error.h"
#include "platform/Stream.h"

namespace {
constexpr char kDestination[] = "c:\\out";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string dest = kDestination;
  const std::string hostDest = fuzzing::HostPath(dest);
  const std::uint8_t options = data[0];
  plat::MemoryStream stream(std::vector<std::uint8_t>(data + 1, data + size));

  archive::TBackupFile bf;
  bf.RestoreFullPath = (options & 1) != 0;
  bf.RestoreMode = static_cast<archive::TRestoreMode>((options >> 1) % 5);
  int reports = 0;
  bf.OnError = [&reports](archive::TBackupFile*, std::int32_t, std::string) { ++reports; };
  bf.SourceStream = &stream;
  bool threw = false;
  bool result = false;
  try {
    result = bf.Restore(archive::kStreamArchiveName, dest);
  } catch (const plat::Error&) {
    threw = true;
  }
  if (reports > 1 || (threw && reports != 0) || (result && reports != 0)) std::abort();
  fuzzing::CheckContainedAndClear({hostDest});
  return 0;
}
