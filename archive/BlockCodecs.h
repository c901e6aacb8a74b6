// The block codecs a packer build offers by name. zlib is always there; libdeflate is compiled
// in when the build machine has it (CMake picks BlockCodecsLibdeflate.cpp or
// BlockCodecsZlibOnly.cpp). The installer links neither: it inflates with zlib alone.
#pragma once

#include <string>
#include <vector>

#include "archive/BlockCodec.h"

namespace archive {

// The codec of that name, or null when this build has none by that name.
const BlockCodec* FindBlockCodec(const std::string& name);
// The names FindBlockCodec knows, zlib first.
std::vector<std::string> BlockCodecNames();

}  // namespace archive
