// The zlib block codec (its inflater is in ZlibInflater.cpp). Inflaters and deflaters keep one
// zlib state for their whole life and reset it per block: setting a state up for every 16 KB
// block (as the one-call functions do) costs more than the block's own work, and a reset state
// behaves as a fresh one, so the bytes in and out are the same.
#include "archive/BlockCodec.h"

#include <zlib.h>

#include <cstring>
#include <limits>

#include "archive/BackupFormat.h"
#include "platform/Error.h"

namespace archive {

namespace {

class ZlibDeflater : public BlockDeflater {
 public:
  explicit ZlibDeflater(int level) {
    std::memset(&zs_, 0, sizeof zs_);
    if (deflateInit2(&zs_, level, Z_DEFLATED, kWindowBits, kMemLevel, Z_DEFAULT_STRATEGY) != Z_OK) {
      throw plat::Error("Compression error");
    }
  }
  ~ZlibDeflater() override { deflateEnd(&zs_); }
  ZlibDeflater(const ZlibDeflater&) = delete;
  ZlibDeflater& operator=(const ZlibDeflater&) = delete;

  bool Deflate(const std::uint8_t* in, std::int32_t n, std::vector<std::uint8_t>& out) override {
    if (deflateReset(&zs_) != Z_OK) throw plat::Error("Compression error");
    out.resize(deflateBound(&zs_, static_cast<uLong>(n)));
    zs_.next_in = const_cast<Bytef*>(in);
    zs_.avail_in = static_cast<uInt>(n);
    zs_.next_out = out.data();
    zs_.avail_out = static_cast<uInt>(out.size());
    if (deflate(&zs_, Z_FINISH) != Z_STREAM_END) throw plat::Error("Compression error");
    out.resize(zs_.total_out);
    return zs_.total_out < static_cast<uLong>(n);
  }

 private:
  z_stream zs_;
};

class Zlib : public BlockCodec {
 public:
  const char* Name() const override { return "zlib"; }
  std::unique_ptr<BlockInflater> NewInflater() const override { return NewZlibInflater(); }
  std::unique_ptr<BlockDeflater> NewDeflater(int level) const override {
    return std::make_unique<ZlibDeflater>(level);
  }
};

}  // namespace

const BlockCodec& ZlibCodec() {
  static const Zlib codec;
  return codec;
}

}  // namespace archive
