// zlib's inflate for the bare loop: one state for the whole run, reset between blocks, which
// is the cheapest way zlib offers to inflate many small independent streams.
#include <stdexcept>

#include <zlib.h>

#include "bench/tools/BlockInflater.h"

namespace bench {

namespace {

class ZlibInflater : public BlockInflater {
 public:
  ZlibInflater() {
    if (inflateInit(&z_) != Z_OK) throw std::runtime_error("inflateInit failed");
  }
  ~ZlibInflater() override { inflateEnd(&z_); }

  std::size_t Inflate(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                      std::size_t capacity) override {
    if (inflateReset(&z_) != Z_OK) throw std::runtime_error("inflateReset failed");
    z_.next_in = const_cast<Bytef*>(in);
    z_.avail_in = static_cast<uInt>(n);
    z_.next_out = out;
    z_.avail_out = static_cast<uInt>(capacity);
    const int rc = inflate(&z_, Z_FINISH);
    if (rc != Z_STREAM_END) throw std::runtime_error("a block does not inflate whole");
    return capacity - z_.avail_out;
  }

 private:
  z_stream z_{};
};

}  // namespace

std::unique_ptr<BlockInflater> MakeZlibInflater() { return std::make_unique<ZlibInflater>(); }

}  // namespace bench
