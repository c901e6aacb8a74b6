// The codec list of a build with libdeflate: zlib and libdeflate.
//
// libdeflate inflates a whole block in one call, faster than zlib. It says nothing about how far
// it got in a stream it rejects, while the reader writes out what zlib produced before a
// failure; so a block libdeflate rejects is inflated again by zlib, and the result (bytes,
// status, message) is zlib's. Damaged blocks are rare, and every codec then answers alike.
#include <libdeflate.h>

#include "archive/BlockCodecs.h"
#include "platform/Error.h"

namespace archive {

namespace {

class LibdeflateInflater : public BlockInflater {
 public:
  LibdeflateInflater()
      : decompressor_(libdeflate_alloc_decompressor()), fallback_(ZlibCodec().NewInflater()) {}
  ~LibdeflateInflater() override {
    if (decompressor_ != nullptr) libdeflate_free_decompressor(decompressor_);
  }
  LibdeflateInflater(const LibdeflateInflater&) = delete;
  LibdeflateInflater& operator=(const LibdeflateInflater&) = delete;

  InflateResult Inflate(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                        std::size_t capacity) override {
    if (decompressor_ != nullptr) {
      InflateResult r;
      std::size_t used = 0;
      if (libdeflate_zlib_decompress_ex(decompressor_, in, n, out, capacity, &used,
                                        &r.produced) == LIBDEFLATE_SUCCESS) {
        r.leftIn = n - used;
        r.status = r.leftIn == 0 ? InflateStatus::kOk : InflateStatus::kTrailing;
        return r;
      }
    }
    return fallback_->Inflate(in, n, out, capacity);
  }

 private:
  libdeflate_decompressor* decompressor_;
  std::unique_ptr<BlockInflater> fallback_;
};

class LibdeflateDeflater : public BlockDeflater {
 public:
  explicit LibdeflateDeflater(int level) : compressor_(libdeflate_alloc_compressor(level)) {
    if (compressor_ == nullptr) throw plat::Error("Compression error");
  }
  ~LibdeflateDeflater() override { libdeflate_free_compressor(compressor_); }
  LibdeflateDeflater(const LibdeflateDeflater&) = delete;
  LibdeflateDeflater& operator=(const LibdeflateDeflater&) = delete;

  bool Deflate(const std::uint8_t* in, std::int32_t n, std::vector<std::uint8_t>& out) override {
    // Room for one byte less than the piece: a stream that does not fit would not be stored
    // compressed anyway, and libdeflate gives up on it early.
    if (n <= 1) return false;
    out.resize(static_cast<std::size_t>(n) - 1);
    const std::size_t size = libdeflate_zlib_compress(compressor_, in, static_cast<std::size_t>(n),
                                                      out.data(), out.size());
    if (size == 0) return false;
    out.resize(size);
    return true;
  }

 private:
  libdeflate_compressor* compressor_;
};

class Libdeflate : public BlockCodec {
 public:
  const char* Name() const override { return "libdeflate"; }
  std::unique_ptr<BlockInflater> NewInflater() const override {
    return std::make_unique<LibdeflateInflater>();
  }
  std::unique_ptr<BlockDeflater> NewDeflater(int level) const override {
    return std::make_unique<LibdeflateDeflater>(level);
  }
};

}  // namespace

const BlockCodec* FindBlockCodec(const std::string& name) {
  static const Libdeflate libdeflate;
  if (name == ZlibCodec().Name()) return &ZlibCodec();
  if (name == libdeflate.Name()) return &libdeflate;
  return nullptr;
}

std::vector<std::string> BlockCodecNames() { return {ZlibCodec().Name(), "libdeflate"}; }

}  // namespace archive
