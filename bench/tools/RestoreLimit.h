// The bare restore loop: the least a restore of our archive format has to do. It reads the
// archive block by block through a large read buffer, inflates each block into one 16 KB buffer
// and either drops the output (in memory) or writes it to the member's file with one write per
// block. No events, no checks beyond what keeps it safe, no dates: the limit that the restore
// engine is measured against.
#pragma once

#include <cstdint>
#include <string>

#include "bench/tools/BlockInflater.h"

namespace bench {

struct LimitResult {
  std::uint64_t files = 0;   // file members (the catalogue not counted)
  std::uint64_t bytes = 0;   // uncompressed bytes of the file members
  std::uint64_t blocks = 0;  // blocks of the file members
};

// Restores the archive (standalone, or an installer found by its "MZ" and payload trailer).
// With an empty outDir the output stays in memory; otherwise each file member is written below
// outDir under its stored name without the drive ("c:\a\b.txt" -> outDir/a/b.txt), as a
// full-path extract does. The catalogue is inflated but never written. Throws
// std::runtime_error on a malformed archive, a volume marker or a failed write.
LimitResult RunRestoreLimit(const std::string& archivePath, const std::string& outDir,
                            BlockInflater& inflater);

}  // namespace bench
