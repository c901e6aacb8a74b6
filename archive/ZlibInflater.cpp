// zlib's inflater on its own, so that a reader that only inflates (the installer) links no
// deflate code: a codec object's table of functions would bring the deflater in with it.
#include <zlib.h>

#include <cstring>

#include "archive/BackupFormat.h"
#include "archive/BlockCodec.h"

namespace archive {

namespace {

constexpr char kNeedsDictionary[] = "needs a dictionary";

class ZlibInflater : public BlockInflater {
 public:
  ZlibInflater() {
    std::memset(&zs_, 0, sizeof zs_);
    ready_ = inflateInit_(&zs_, kZlibVersionText, static_cast<int>(sizeof(z_stream))) == Z_OK;
  }
  ~ZlibInflater() override {
    if (ready_) inflateEnd(&zs_);
  }
  ZlibInflater(const ZlibInflater&) = delete;
  ZlibInflater& operator=(const ZlibInflater&) = delete;

  InflateResult Inflate(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                        std::size_t capacity) override {
    InflateResult r;
    if (!ready_ || inflateReset(&zs_) != Z_OK) {
      r.status = InflateStatus::kCannotStart;
      return r;
    }
    // zlib takes a non-const input pointer but does not write through it.
    zs_.next_in = const_cast<Bytef*>(in);
    zs_.avail_in = static_cast<uInt>(n);
    zs_.next_out = out;
    zs_.avail_out = static_cast<uInt>(capacity);
    // Z_FINISH: the whole stream is in the block and the output has room for a whole piece, so
    // zlib need not keep a copy of the output in its window.
    const int rc = inflate(&zs_, Z_FINISH);
    r.produced = capacity - zs_.avail_out;
    r.leftIn = zs_.avail_in;
    if (zs_.msg != nullptr) r.detail = zs_.msg;
    if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT) {
      if (r.detail.empty()) r.detail = kNeedsDictionary;
      r.status = InflateStatus::kDamaged;
    } else if (rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR) {
      r.status = InflateStatus::kCannotStart;
    } else if (rc != Z_STREAM_END) {
      r.status = zs_.avail_out == 0 ? InflateStatus::kTooLong : InflateStatus::kTruncated;
    } else if (r.leftIn != 0) {
      r.status = InflateStatus::kTrailing;
    }
    return r;
  }

 private:
  z_stream zs_;
  bool ready_ = false;
};

}  // namespace

std::unique_ptr<BlockInflater> NewZlibInflater() { return std::make_unique<ZlibInflater>(); }

}  // namespace archive
