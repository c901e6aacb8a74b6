// Byte maps of the pieces put together here (all numbers little-endian):
//
//   BITMAPFILEHEADER (14)  0 'B' 'M' | 2 u32 file size | 6 u16 0 | 8 u16 0 | 10 u32 pixel offset
//   info header            0 u32 header size (12 for the old core header, 40 or more)
//                          core: 10 u16 bits per pixel
//                          other: 14 u16 bits per pixel | 16 u32 compression | 32 u32 colours used
//
//   BI_RLE8 pixels        pairs (count, index): count pixels of that colour; (0, 0) end of
//                          line, (0, 1) end of bitmap, (0, 2, dx, dy) skip, (0, n >= 3) n
//                          indices as they are, padded to an even length
//
//   icon directory (6)     0 u16 0 | 2 u16 type (1 = icon) | 4 u16 count
//   group entry (14)       0 width, height, colours, reserved | 4 u16 planes | 6 u16 bits |
//                          8 u32 bytes | 12 u16 image number
//   file entry (16)        the same first 12 bytes | 12 u32 offset of the image in the file
#include "wizard/content/PictureFiles.h"

#include <cstdint>

#include "platform/Error.h"

namespace content {
namespace {

constexpr std::size_t kBmpFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kBitFields = 3;
constexpr std::size_t kBitFieldMasksSize = 12;

constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kGroupEntrySize = 14;
constexpr std::size_t kFileEntrySize = 16;
// Size, colours, planes and bits per pixel: copied as they are from group to file entry.
constexpr std::size_t kEntryLooksSize = 8;

std::uint32_t U16(const unsigned char* p) { return p[0] | (p[1] << 8); }
std::uint32_t U32(const unsigned char* p) {
  return U16(p) | (static_cast<std::uint32_t>(U16(p + 2)) << 16);
}

void Put16(std::vector<unsigned char>& out, std::uint32_t v) {
  out.push_back(static_cast<unsigned char>(v));
  out.push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// Bytes between the start of the info header and the first pixel row.
std::size_t PixelOffsetInDib(Bytes dib) {
  if (dib.size() < 4) throw plat::Error("Bitmap resource cut short");
  const std::uint32_t headerSize = U32(dib.data());
  const bool core = headerSize == kCoreHeaderSize;
  const std::size_t needed = core ? kCoreHeaderSize : kInfoHeaderSize;
  if (headerSize < needed || headerSize > dib.size())
    throw plat::Error("Bitmap resource with a bad header size");
  const unsigned char* h = dib.data();
  const std::uint32_t bits = core ? U16(h + 10) : U16(h + 14);
  std::size_t colours = core ? 0 : U32(h + 32);
  if (colours == 0 && bits >= 1 && bits <= 8) colours = std::size_t{1} << bits;
  const std::size_t entrySize = core ? 3 : 4;
  if (colours > (dib.size() - headerSize) / entrySize)
    throw plat::Error("Bitmap resource cut short");
  std::size_t offset = headerSize + colours * entrySize;
  if (!core && headerSize == kInfoHeaderSize && U32(h + 16) == kBitFields) {
    if (kBitFieldMasksSize > dib.size() - offset) throw plat::Error("Bitmap resource cut short");
    offset += kBitFieldMasksSize;
  }
  return offset;
}

void Cut() { throw plat::Error("Bitmap resource with bad run-length data"); }

// The 24-bit bottom-up file for an 8-bit run-length-encoded bitmap: the resources keep the
// pictures so, a tenth of their size, and the wizard gets the file it was drawn as. Pixels
// the runs skip stay black.
std::vector<unsigned char> ExpandRle8(Bytes dib, std::size_t pixels) {
  const unsigned char* h = dib.data();
  const std::int32_t width = static_cast<std::int32_t>(U32(h + 4));
  const std::int32_t height = static_cast<std::int32_t>(U32(h + 8));
  const std::size_t colours = (pixels - kInfoHeaderSize) / 4;
  // Bounded so that the image size below fits in 32 bits; the pictures are far smaller.
  constexpr std::int32_t kMaxSide = 8192;
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide)
    throw plat::Error("Bitmap resource with a bad size");
  const std::size_t w = static_cast<std::size_t>(width);
  const std::size_t rows = static_cast<std::size_t>(height);
  const std::size_t stride = (w * 3 + 3) / 4 * 4;
  const std::size_t imageSize = stride * rows;
  const std::size_t start = kBmpFileHeaderSize + kInfoHeaderSize;

  std::vector<unsigned char> file;
  file.reserve(start + imageSize);
  file.push_back('B');
  file.push_back('M');
  Put32(file, static_cast<std::uint32_t>(start + imageSize));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(start));
  file.insert(file.end(), h, h + kInfoHeaderSize);
  unsigned char* info = file.data() + kBmpFileHeaderSize;
  auto set32 = [info](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i, v >>= 8) info[at + i] = static_cast<unsigned char>(v);
  };
  info[14] = 24;  // bits per pixel, a 16-bit field
  info[15] = 0;
  set32(16, 0);  // compression: none
  set32(20, static_cast<std::uint32_t>(imageSize));
  set32(32, 0);  // colours used, colours important: no palette
  set32(36, 0);
  file.resize(start + imageSize, 0);
  unsigned char* image = file.data() + start;

  const unsigned char* in = dib.data() + pixels;
  const std::size_t size = dib.size() - pixels;
  std::size_t pos = 0, x = 0, y = 0;
  auto put = [&](unsigned index) {
    if (index >= colours) Cut();
    const unsigned char* c = h + kInfoHeaderSize + 4 * index;  // blue, green, red, 0
    unsigned char* p = image + y * stride + x * 3;
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
    ++x;
  };
  while (pos < size) {
    if (size - pos < 2) Cut();
    const std::size_t count = in[pos];
    const unsigned value = in[pos + 1];
    pos += 2;
    if (count > 0) {
      if (y >= rows || count > w - x) Cut();
      for (std::size_t i = 0; i < count; ++i) put(value);
    } else if (value == 0) {
      x = 0;
      ++y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      if (size - pos < 2) Cut();
      x += in[pos];
      y += in[pos + 1];
      pos += 2;
      if (x > w || y > rows) Cut();
    } else {
      const std::size_t padded = value + (value & 1);
      if (y >= rows || value > w - x || padded > size - pos) Cut();
      for (std::size_t i = 0; i < value; ++i) put(in[pos + i]);
      pos += padded;
    }
  }
  return file;
}

}  // namespace

std::vector<unsigned char> BmpFileFromResource(Bytes dib) {
  const std::size_t pixels = PixelOffsetInDib(dib);
  if (U32(dib.data()) == kInfoHeaderSize && U16(dib.data() + 14) == 8 &&
      U32(dib.data() + 16) == kRle8)
    return ExpandRle8(dib, pixels);
  if (dib.size() > UINT32_MAX - kBmpFileHeaderSize) throw plat::Error("Bitmap resource too big");
  std::vector<unsigned char> file;
  file.reserve(kBmpFileHeaderSize + dib.size());
  file.push_back('B');
  file.push_back('M');
  Put32(file, static_cast<std::uint32_t>(kBmpFileHeaderSize + dib.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(kBmpFileHeaderSize + pixels));
  file.insert(file.end(), dib.begin(), dib.end());
  return file;
}

std::vector<unsigned char> IcoFileFromResources(Bytes group, IconImageLookup image) {
  if (group.size() < kIconDirSize) throw plat::Error("Icon group resource cut short");
  const std::size_t count = U16(group.data() + 4);
  if (count > (group.size() - kIconDirSize) / kGroupEntrySize)
    throw plat::Error("Icon group resource cut short");

  std::vector<Bytes> images;
  images.reserve(count);
  std::size_t offset = kIconDirSize + count * kFileEntrySize;
  std::vector<unsigned char> file(group.begin(), group.begin() + kIconDirSize);
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* entry = group.data() + kIconDirSize + i * kGroupEntrySize;
    images.push_back(image(U16(entry + 12)));
    const std::size_t size = images.back().size();
    if (size > UINT32_MAX - offset) throw plat::Error("Icon images too big");
    file.insert(file.end(), entry, entry + kEntryLooksSize);
    Put32(file, static_cast<std::uint32_t>(size));
    Put32(file, static_cast<std::uint32_t>(offset));
    offset += size;
  }
  file.reserve(offset);
  for (const Bytes& b : images) file.insert(file.end(), b.begin(), b.end());
  return file;
}

}  // namespace content
