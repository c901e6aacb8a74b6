// The inflate step of the bare restore loop, one implementation per library; the loop picks
// one by name. Blocks are independent zlib streams of at most archive::kBlockSize bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace bench {

class BlockInflater {
 public:
  virtual ~BlockInflater() = default;
  // Inflates one whole block into out; returns the bytes produced. Throws std::runtime_error
  // when the block is not a sound zlib stream or does not fit in capacity.
  virtual std::size_t Inflate(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                              std::size_t capacity) = 0;
};

std::unique_ptr<BlockInflater> MakeZlibInflater();
// Null where the build has no libdeflate.
std::unique_ptr<BlockInflater> MakeLibdeflateInflater();

}  // namespace bench
