// Pictures from BMP file bytes: only the header is read here (size and validity); pixels stay
// as they are for the back end.
#include "platform/gui/Graphics.h"

#include <cstdint>

namespace gui {

namespace {
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kMinInfoHeaderSize = 12;  // the oldest (core) header

std::int32_t ReadLe32(const std::vector<unsigned char>& b, std::size_t off) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[off]) |
                                   (static_cast<std::uint32_t>(b[off + 1]) << 8) |
                                   (static_cast<std::uint32_t>(b[off + 2]) << 16) |
                                   (static_cast<std::uint32_t>(b[off + 3]) << 24));
}
int ReadLe16(const std::vector<unsigned char>& b, std::size_t off) {
  return b[off] | (b[off + 1] << 8);
}
}  // namespace

TPicture::TPicture(std::vector<unsigned char> bmpFile) : bytes_(std::move(bmpFile)) {
  const std::size_t n = bytes_.size();
  if (n < kFileHeaderSize + kMinInfoHeaderSize || bytes_[0] != 'B' || bytes_[1] != 'M') return;
  const std::int32_t infoSize = ReadLe32(bytes_, kFileHeaderSize);
  if (infoSize == static_cast<std::int32_t>(kMinInfoHeaderSize)) {
    width_ = ReadLe16(bytes_, kFileHeaderSize + 4);
    height_ = ReadLe16(bytes_, kFileHeaderSize + 6);
  } else if (infoSize >= 40 && n - kFileHeaderSize >= 40) {
    width_ = ReadLe32(bytes_, kFileHeaderSize + 4);
    // A negative height marks a top-down bitmap; the size is its magnitude.
    const std::int32_t h = ReadLe32(bytes_, kFileHeaderSize + 8);
    height_ = h >= 0 ? h : (h == INT32_MIN ? 0 : -h);
    if (width_ < 0) width_ = 0;
  }
}

void TPicture::Assign(const TPicture& source) {
  bytes_ = source.bytes_;
  width_ = source.width_;
  height_ = source.height_;
  ++generation_;
}

}  // namespace gui
