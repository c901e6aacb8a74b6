// Checking a BMP file's layout before GDI touches its bytes.
#include "platform/gui/win32/DibView.h"

#include <cstdint>

namespace gui {
namespace win32 {

namespace {
constexpr std::size_t kFileHeaderSize = 14;   // BITMAPFILEHEADER
constexpr std::size_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER, the smallest we accept
constexpr std::size_t kOffBitsAt = 10;        // bfOffBits in the file header
constexpr std::int32_t kMaxSide = 1 << 15;    // no picture of ours comes near this
constexpr std::uint32_t kBiRgb = 0;

std::uint32_t U32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t U16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
}  // namespace

bool ViewDib(const unsigned char* file, std::size_t size, DibView& view) {
  view = DibView{};
  if (!file || size < kFileHeaderSize + kInfoHeaderSize) return false;
  if (file[0] != 'B' || file[1] != 'M') return false;
  const unsigned char* info = file + kFileHeaderSize;
  const std::uint32_t headerSize = U32(info);                       // biSize
  if (headerSize < kInfoHeaderSize || headerSize > size - kFileHeaderSize) return false;
  const std::int32_t width = static_cast<std::int32_t>(U32(info + 4));   // biWidth
  const std::int32_t height = static_cast<std::int32_t>(U32(info + 8));  // biHeight
  const std::uint16_t planes = U16(info + 12);                       // biPlanes
  const std::uint16_t bitCount = U16(info + 14);                     // biBitCount
  const std::uint32_t compression = U32(info + 16);                  // biCompression
  std::uint32_t colours = U32(info + 32);                            // biClrUsed
  if (planes != 1 || compression != kBiRgb) return false;
  if (width <= 0 || width > kMaxSide || height == 0 || height < -kMaxSide || height > kMaxSide)
    return false;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
      bitCount != 32)
    return false;
  if (bitCount <= 8) {
    const std::uint32_t most = 1u << bitCount;
    if (colours == 0) colours = most;
    if (colours > most) return false;
  } else {
    colours = 0;  // a colour table beside true-colour pixels is ignored by GDI for BI_RGB
  }
  const std::size_t tableEnd = kFileHeaderSize + headerSize + std::size_t{colours} * 4;
  if (tableEnd > size) return false;

  const std::uint32_t offBits = U32(file + kOffBitsAt);              // bfOffBits
  if (offBits < tableEnd || offBits > size) return false;
  const std::size_t rows = static_cast<std::size_t>(height < 0 ? -height : height);
  // Rows are padded to four bytes; both factors are bounded above, so this cannot wrap.
  const std::size_t stride = ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
  if (stride != 0 && rows > (size - offBits) / stride) return false;

  view.info = info;
  view.bits = file + offBits;
  view.width = width;
  view.height = static_cast<int>(rows);
  return true;
}

}  // namespace win32
}  // namespace gui
