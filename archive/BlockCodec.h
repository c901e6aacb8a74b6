// The block codec: how one block's Data is inflated back into its piece and how a piece is
// deflated into a block. Every compressed block is one complete zlib stream (BackupFormat.h),
// so any codec that reads and writes that stream can stand in; zlib is the one the installer
// uses and the default everywhere. A packer build may add faster codecs (BlockCodecs.h).
//
// Inflaters and deflaters hold the library's working state between blocks; one object serves
// one thread. Codec objects themselves are stateless and shared.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace archive {

// The outcome of inflating one compressed block.
enum class InflateStatus {
  kOk,          // one complete stream that ended exactly at the end of the block
  kCannotStart, // the decoder could not be set up
  kDamaged,     // damaged data (a bad header, a bad code, an Adler-32 mismatch)
  kTooLong,     // the stream inflates to more than the output holds
  kTruncated,   // the stream does not end inside the block
  kTrailing,    // bytes follow the stream inside the block
};

struct InflateResult {
  InflateStatus status = InflateStatus::kOk;
  // Bytes written to out. On failure, what zlib produced before it stopped: the installer's
  // reader writes those out before it reports the error, and every codec gives the same.
  std::size_t produced = 0;
  std::size_t leftIn = 0;     // input bytes after the stream (kTrailing)
  std::string detail;         // the decoder's own words on damaged data, when it has some

  // The stream ended inside the block, its Adler-32 checked.
  bool StreamEnded() const { return status == InflateStatus::kOk || status == InflateStatus::kTrailing; }
};

class BlockInflater {
 public:
  virtual ~BlockInflater() = default;
  // Inflates the zlib stream at in[0, n) into out[0, capacity).
  virtual InflateResult Inflate(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                                std::size_t capacity) = 0;
};

class BlockDeflater {
 public:
  virtual ~BlockDeflater() = default;
  // Deflates in[0, n) into one complete zlib stream in out. Returns false, leaving out
  // unspecified, when the stream would not be shorter than the piece: the block is then stored.
  // Throws plat::Error when the library fails.
  virtual bool Deflate(const std::uint8_t* in, std::int32_t n, std::vector<std::uint8_t>& out) = 0;
};

class BlockCodec {
 public:
  virtual ~BlockCodec() = default;
  virtual const char* Name() const = 0;
  virtual std::unique_ptr<BlockInflater> NewInflater() const = 0;
  // level 0 to 9. The bytes of a deflated block depend on the codec; zlib's are the reference
  // the packer's output is compared against.
  virtual std::unique_ptr<BlockDeflater> NewDeflater(int level) const = 0;
};

// zlib: inflation as the installer has always done it (inflateInit_ with the version text
// kZlibVersionText, default window), deflation as compress2 with the given level.
const BlockCodec& ZlibCodec();

// ZlibCodec().NewInflater() without the codec object: readers that are given no codec use it,
// which keeps the deflater out of programs that never compress.
std::unique_ptr<BlockInflater> NewZlibInflater();

// A new inflater from codec, or zlib's when codec is null.
inline std::unique_ptr<BlockInflater> NewInflater(const BlockCodec* codec) {
  return codec != nullptr ? codec->NewInflater() : NewZlibInflater();
}

}  // namespace archive
