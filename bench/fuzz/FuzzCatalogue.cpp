// Fuzz target: the start-up read of an archive's title and catalogue from a stream, as the
// installer does it on its own file. A clear outcome is a title, a list and at most one error
// report; anything that is not plat::Error escaping is a finding.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive/BackupFile.h"
#include "platform/Error.h"
#include "platform/Stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  plat::MemoryStream stream(std::vector<std::uint8_t>(data, data + size));
  archive::TBackupFile bf;
  int reports = 0;
  bf.OnError = [&reports](archive::TBackupFile*, std::int32_t, std::string) { ++reports; };
  bf.SourceStream = &stream;
  archive::TStringList list;
  std::string title;
  try {
    bf.ReadFileList(archive::kStreamArchiveName, &list, title);
  } catch (const plat::Error&) {
  }
  if (reports > 1) std::abort();
  // The title is read from the input: it can never be longer than the input.
  if (title.size() > size) std::abort();
  return 0;
}
