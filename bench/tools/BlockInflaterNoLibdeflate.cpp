// Builds without libdeflate: the bare loop offers zlib only.
#include "bench/tools/BlockInflater.h"

namespace bench {

std::unique_ptr<BlockInflater> MakeLibdeflateInflater() { return nullptr; }

}  // namespace bench
