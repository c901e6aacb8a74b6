// Whole-archive checks on top of the strict walk, shared by the packager's verify and by the
// installer before it writes anything.
//
// VerifyArchive reads everything: every block, every compressed block inflated with its
// Adler-32 checked, the member sizes against the catalogue, the header's counts, the
// end-of-archive marker and what follows it. ScanArchive is the cheap part: the same walk
// without inflating, which only moves the stream position, so that a truncated file or a
// broken structure is found at once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWalker.h"

namespace archive {

struct ArchiveSummary {
  ArchiveHeader header;
  std::size_t files = 0;          // file members, the catalogue not counted
  std::vector<std::string> fileNames;  // their stored names, in archive order
  std::int64_t fileBytes = 0;     // their uncompressed bytes
  std::int64_t blocks = 0;
  std::int64_t storedBlocks = 0;
  std::size_t volumes = 0;
  bool installer = false;
  std::int64_t certificateTableSize = 0;  // a signed installer's; 0 when unsigned
  bool hasCatalogue = false;
};

// The walker must be fresh (nothing read yet). Both throw WalkError on the first fault.
ArchiveSummary VerifyArchive(ArchiveWalker& walker);
void ScanArchive(ArchiveWalker& walker);

}  // namespace archive
