// The engine's own member output: new bytes beside the target, renamed into place when whole.
#include "archive/MemberOutput.h"

#include "platform/Error.h"

namespace archive {

namespace {

// Recognised as the restore's own: a leftover of an interrupted run is simply overwritten.
constexpr char kPartSuffix[] = ".lumi-part";
// Where an existing target waits for the moment of the rename.
constexpr char kAsideSuffix[] = ".lumi-aside";

}  // namespace

std::string PartName(const std::string& target) { return target + kPartSuffix; }

std::unique_ptr<plat::FileStream> ReplacingOutput::Open(const std::string& target) {
  return fs_.Create(PartName(target));
}

std::unique_ptr<plat::FileStream> ReplacingOutput::Reopen(const std::string& target) {
  std::unique_ptr<plat::FileStream> stream = fs_.OpenWrite(PartName(target));
  stream->Seek(0, plat::Stream::Origin::End);
  return stream;
}

void ReplacingOutput::Place(const std::string& target) {
  const std::string part = PartName(target);
  if (!fs_.FileExists(target)) {
    if (!fs_.RenameFile(part, target)) throw plat::Error("Cannot write \"" + target + "\".");
    return;
  }
  // The old file goes aside rather than away, so that a rename that fails can give it back.
  const std::string aside = target + kAsideSuffix;
  fs_.DeleteFile(aside);
  if (!fs_.RenameFile(target, aside)) throw plat::Error("Cannot replace \"" + target + "\".");
  if (!fs_.RenameFile(part, target)) {
    fs_.RenameFile(aside, target);
    throw plat::Error("Cannot write \"" + target + "\".");
  }
  fs_.DeleteFile(aside);
}

void ReplacingOutput::Discard(const std::string& target) noexcept {
  try {
    fs_.DeleteFile(PartName(target));
  } catch (...) {
    // Nothing more can be done about a part file that cannot be deleted.
  }
}

}  // namespace archive
