// libdeflate for the bare loop: one decompressor for the whole run; each block is a whole
// zlib stream (header, deflate data, Adler-32), which libdeflate checks in one call.
#include <stdexcept>

#include <libdeflate.h>

#include "bench/tools/BlockInflater.h"

namespace bench {

namespace {

class LibdeflateInflater : public BlockInflater {
 public:
  LibdeflateInflater() : d_(libdeflate_alloc_decompressor()) {
    if (d_ == nullptr) throw std::runtime_error("libdeflate_alloc_decompressor failed");
  }
  ~LibdeflateInflater() override { libdeflate_free_decompressor(d_); }

  std::size_t Inflate(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                      std::size_t capacity) override {
    std::size_t produced = 0;
    if (libdeflate_zlib_decompress(d_, in, n, out, capacity, &produced) != LIBDEFLATE_SUCCESS) {
      throw std::runtime_error("a block does not inflate whole");
    }
    return produced;
  }

 private:
  libdeflate_decompressor* d_;
};

}  // namespace

std::unique_ptr<BlockInflater> MakeLibdeflateInflater() {
  return std::make_unique<LibdeflateInflater>();
}

}  // namespace bench
