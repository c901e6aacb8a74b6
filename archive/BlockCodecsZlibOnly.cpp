// The codec list of a build without libdeflate: zlib alone.
#include "archive/BlockCodecs.h"

namespace archive {

const BlockCodec* FindBlockCodec(const std::string& name) {
  return name == ZlibCodec().Name() ? &ZlibCodec() : nullptr;
}

std::vector<std::string> BlockCodecNames() { return {ZlibCodec().Name()}; }

}  // namespace archive
