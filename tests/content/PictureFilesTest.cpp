// Picture files rebuilt from their resource form: the real pictures come back byte for byte,
// the pixel offset follows the header and colour table of every bitmap kind, and resources
// cut short are refused instead of read past their end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Error.h"
#include "wizard/content/Content.h"
#include "wizard/content/PictureFiles.h"

namespace embed_test {
extern const unsigned char kLogoCopy[];
extern const std::size_t kLogoCopySize;
extern const unsigned char kWelcomeCopy[];
extern const std::size_t kWelcomeCopySize;
extern const unsigned char kViewerDownloadCopy[];
extern const std::size_t kViewerDownloadCopySize;
extern const unsigned char kIconCopy[];
extern const std::size_t kIconCopySize;
extern const unsigned char kLogoRle8[];
extern const std::size_t kLogoRle8Size;
extern const unsigned char kWelcomeRle8[];
extern const std::size_t kWelcomeRle8Size;
extern const unsigned char kViewerDownloadRle8[];
extern const std::size_t kViewerDownloadRle8Size;
}  // namespace embed_test

namespace {

using Buffer = std::vector<unsigned char>;

constexpr std::size_t kFileHeader = 14;

content::Bytes View(const Buffer& b) { return content::Bytes(b.data(), b.size()); }
Buffer Copy(const unsigned char* data, std::size_t size) { return Buffer(data, data + size); }
std::uint32_t U32(const Buffer& b, std::size_t off) {
  return b[off] | (b[off + 1] << 8) | (b[off + 2] << 16) | (std::uint32_t{b[off + 3]} << 24);
}
void Set16(Buffer& b, std::size_t off, std::uint32_t v) {
  b[off] = static_cast<unsigned char>(v);
  b[off + 1] = static_cast<unsigned char>(v >> 8);
}
void Set32(Buffer& b, std::size_t off, std::uint32_t v) {
  Set16(b, off, v & 0xFFFF);
  Set16(b, off + 2, v >> 16);
}

// ---- bitmaps ----------------------------------------------------------------------------

TEST(PictureFiles, RealBitmapsComeBackByteForByte) {
  const Buffer files[] = {Copy(embed_test::kLogoCopy, embed_test::kLogoCopySize),
                          Copy(embed_test::kWelcomeCopy, embed_test::kWelcomeCopySize)};
  for (const Buffer& file : files) {
    // What the resource compiler keeps: the file without its file header.
    const Buffer dib(file.begin() + kFileHeader, file.end());
    EXPECT_EQ(content::BmpFileFromResource(View(dib)), file);
  }
}

// A bitmap resource: info header of `headerSize` bytes, then `extra` bytes of colour table,
// masks and pixels.
Buffer Dib(std::uint32_t headerSize, std::uint32_t bits, std::uint32_t compression,
           std::uint32_t coloursUsed, std::size_t extra) {
  Buffer dib(headerSize + extra, 0);
  Set32(dib, 0, headerSize);
  if (headerSize == 12) {
    Set16(dib, 8, 1);
    Set16(dib, 10, bits);
  } else {
    Set16(dib, 12, 1);
    Set16(dib, 14, bits);
    Set32(dib, 16, compression);
    Set32(dib, 32, coloursUsed);
  }
  return dib;
}

TEST(PictureFiles, PixelOffsetCountsHeaderColourTableAndMasks) {
  struct Case {
    const char* what;
    std::uint32_t headerSize, bits, compression, coloursUsed;
    std::uint32_t offset;  // from the start of the file
  };
  const Case cases[] = {
      {"24 bits, no table", 40, 24, 0, 0, 14 + 40},
      {"8 bits, full table", 40, 8, 0, 0, 14 + 40 + 256 * 4},
      {"8 bits, 16 colours used", 40, 8, 0, 16, 14 + 40 + 16 * 4},
      {"1 bit", 40, 1, 0, 0, 14 + 40 + 2 * 4},
      {"16 bits with bit-field masks", 40, 16, 3, 0, 14 + 40 + 12},
      {"32 bits, V5 header holds its masks", 124, 32, 3, 0, 14 + 124},
      {"old core header, 4 bits", 12, 4, 0, 0, 14 + 12 + 16 * 3},
  };
  for (const Case& c : cases) {
    const Buffer dib = Dib(c.headerSize, c.bits, c.compression, c.coloursUsed, 1100);
    const Buffer file = content::BmpFileFromResource(View(dib));
    ASSERT_EQ(file.size(), kFileHeader + dib.size()) << c.what;
    EXPECT_EQ(file[0], 'B') << c.what;
    EXPECT_EQ(file[1], 'M') << c.what;
    EXPECT_EQ(U32(file, 2), file.size()) << c.what;
    EXPECT_EQ(U32(file, 6), 0u) << c.what;
    EXPECT_EQ(U32(file, 10), c.offset) << c.what;
    EXPECT_TRUE(std::equal(dib.begin(), dib.end(), file.begin() + kFileHeader)) << c.what;
  }
}

TEST(PictureFiles, BitmapResourceCutShortIsRefused) {
  struct Case {
    const char* what;
    Buffer dib;
  };
  Buffer headerPastEnd = Dib(40, 24, 0, 0, 0);
  Set32(headerPastEnd, 0, 41);
  Buffer hugeHeader = Dib(40, 24, 0, 0, 0);
  Set32(hugeHeader, 0, 0xFFFFFFF0u);  // must not wrap when added to anything
  const Case cases[] = {
      {"empty", {}},
      {"three bytes", {40, 0, 0}},
      {"header size past the end", headerPastEnd},
      {"header size near 4 GB", hugeHeader},
      {"header size below the smallest", Dib(8, 24, 0, 0, 40)},
      {"colour table past the end", Dib(40, 8, 0, 0, 255 * 4)},
      {"masks past the end", Dib(40, 16, 3, 0, 11)},
      {"colours used near 4 GB", Dib(40, 8, 0, 0x40000000u, 64)},
  };
  for (const Case& c : cases)
    EXPECT_THROW(content::BmpFileFromResource(View(c.dib)), plat::Error) << c.what;
}

// ---- run-length-encoded bitmaps -----------------------------------------------------------

TEST(PictureFiles, RunLengthCopiesExpandToTheRealBitmaps) {
  struct Case {
    const char* what;
    Buffer rle, file;
  };
  const Case cases[] = {
      {"logo", Copy(embed_test::kLogoRle8, embed_test::kLogoRle8Size),
       Copy(embed_test::kLogoCopy, embed_test::kLogoCopySize)},
      {"welcome", Copy(embed_test::kWelcomeRle8, embed_test::kWelcomeRle8Size),
       Copy(embed_test::kWelcomeCopy, embed_test::kWelcomeCopySize)},
      {"viewer download",
       Copy(embed_test::kViewerDownloadRle8, embed_test::kViewerDownloadRle8Size),
       Copy(embed_test::kViewerDownloadCopy, embed_test::kViewerDownloadCopySize)},
  };
  for (const Case& c : cases) {
    // The copies are what they claim: 8 bits, run-length encoded, a tenth of the size.
    ASSERT_GT(c.rle.size(), kFileHeader + 40) << c.what;
    EXPECT_EQ(c.rle[kFileHeader + 14], 8) << c.what;
    EXPECT_EQ(U32(c.rle, kFileHeader + 16), 1u) << c.what;
    EXPECT_LT(c.rle.size() * 8, c.file.size()) << c.what;
    const Buffer dib(c.rle.begin() + kFileHeader, c.rle.end());
    EXPECT_EQ(content::BmpFileFromResource(View(dib)), c.file) << c.what;
  }
}

// A 4 x 3 run-length-encoded bitmap with a palette of three colours: 1 red, 2 green, 3 blue
// (index 0 black), followed by `runs`.
Buffer Rle8(const Buffer& runs, std::int32_t width = 4, std::int32_t height = 3) {
  Buffer dib = Dib(40, 8, 1, 4, 16);
  Set32(dib, 4, static_cast<std::uint32_t>(width));
  Set32(dib, 8, static_cast<std::uint32_t>(height));
  const unsigned char palette[] = {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
  std::copy(std::begin(palette), std::end(palette), dib.begin() + 40);
  dib.insert(dib.end(), runs.begin(), runs.end());
  return dib;
}

// The pixel rows of a 24-bit file made from a 4-pixel-wide bitmap, bottom row first, as
// palette indices (0 black, 1 red, 2 green, 3 blue; 9 for anything else).
std::vector<std::vector<int>> Indices(const Buffer& file) {
  std::vector<std::vector<int>> rows;
  const std::size_t height = U32(file, 22);
  for (std::size_t y = 0; y < height; ++y) {
    std::vector<int> row;
    for (std::size_t x = 0; x < 4; ++x) {
      const unsigned char* p = file.data() + 54 + y * 12 + x * 3;
      const int b = p[0], g = p[1], r = p[2];
      row.push_back(r == 0 && g == 0 && b == 0     ? 0
                    : r == 255 && g == 0 && b == 0 ? 1
                    : r == 0 && g == 255 && b == 0 ? 2
                    : r == 0 && g == 0 && b == 255 ? 3
                                                   : 9);
    }
    rows.push_back(row);
  }
  return rows;
}

TEST(PictureFiles, RunLengthModesAllDecode) {
  using Rows = std::vector<std::vector<int>>;
  struct Case {
    const char* what;
    Buffer runs;
    Rows rows;
  };
  const Case cases[] = {
      {"runs and line ends", {4, 1, 0, 0, 2, 2, 2, 3, 0, 0, 1, 3, 3, 2, 0, 1},
       {{1, 1, 1, 1}, {2, 2, 3, 3}, {3, 2, 2, 2}}},
      {"indices as they are, odd count padded", {0, 3, 1, 2, 3, 0, 1, 1, 0, 0, 0, 4, 3, 2, 1, 3},
       {{1, 2, 3, 1}, {3, 2, 1, 3}, {0, 0, 0, 0}}},
      {"a skip leaves black pixels", {1, 1, 0, 2, 2, 1, 1, 2, 0, 1},
       {{1, 0, 0, 0}, {0, 0, 0, 2}, {0, 0, 0, 0}}},
      {"data ending without end of bitmap", {4, 3, 0, 0, 4, 2},
       {{3, 3, 3, 3}, {2, 2, 2, 2}, {0, 0, 0, 0}}},
      {"nothing after the end of bitmap is read", {4, 2, 0, 1, 4, 7},
       {{2, 2, 2, 2}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
  };
  for (const Case& c : cases) {
    const Buffer file = content::BmpFileFromResource(View(Rle8(c.runs)));
    ASSERT_EQ(file.size(), 54u + 3 * 12) << c.what;
    EXPECT_EQ(U32(file, 2), file.size()) << c.what;
    EXPECT_EQ(U32(file, 10), 54u) << c.what;
    EXPECT_EQ(file[14 + 14], 24) << c.what;
    EXPECT_EQ(U32(file, 14 + 16), 0u) << c.what;
    EXPECT_EQ(U32(file, 14 + 20), 36u) << c.what;
    EXPECT_EQ(U32(file, 14 + 32), 0u) << c.what;
    EXPECT_EQ(Indices(file), c.rows) << c.what;
  }
}

TEST(PictureFiles, RunLengthDataLeavingThePictureIsRefused) {
  struct Case {
    const char* what;
    Buffer dib;
  };
  const Case cases[] = {
      {"run past the end of the row", Rle8({3, 1, 2, 1})},
      {"run on a row above the picture", Rle8({0, 0, 0, 0, 0, 0, 1, 1})},
      {"index outside the palette", Rle8({1, 4})},
      {"indices as they are past the row", Rle8({2, 1, 0, 3, 1, 1, 1, 0})},
      {"indices as they are past the data", Rle8({0, 4, 1, 1})},
      {"skip past the right edge", Rle8({0, 2, 5, 0})},
      {"skip above the picture", Rle8({0, 2, 0, 4})},
      {"skip cut short", Rle8({0, 2, 1})},
      {"odd byte at the end", Rle8({4, 1, 0})},
      {"no width", Rle8({0, 1}, 0, 3)},
      {"top-down height", Rle8({0, 1}, 4, -3)},
      {"huge width", Rle8({0, 1}, 0x7FFFFFFF, 3)},
  };
  for (const Case& c : cases)
    EXPECT_THROW(content::BmpFileFromResource(View(c.dib)), plat::Error) << c.what;
}

// ---- icons ------------------------------------------------------------------------------

// The icon resources of an .ico file as the resource compiler makes them: its images by
// number (from 1) and a group directory naming them.
struct IconResources {
  Buffer group;
  std::vector<Buffer> images;
};

IconResources SplitIco(const Buffer& ico) {
  IconResources r;
  r.group.assign(ico.begin(), ico.begin() + 6);
  const std::size_t count = ico[4] | (ico[5] << 8);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const std::uint32_t size = U32(ico, entry + 8);
    const std::uint32_t offset = U32(ico, entry + 12);
    r.images.emplace_back(ico.begin() + offset, ico.begin() + offset + size);
    r.group.insert(r.group.end(), ico.begin() + entry, ico.begin() + entry + 12);
    r.group.push_back(static_cast<unsigned char>(i + 1));
    r.group.push_back(0);
  }
  return r;
}

const IconResources* gIcon = nullptr;
std::vector<unsigned> gAsked;

content::Bytes ImageById(unsigned id) {
  gAsked.push_back(id);
  if (id < 1 || id > gIcon->images.size()) throw plat::Error("no such image");
  return View(gIcon->images[id - 1]);
}

TEST(PictureFiles, RealIconComesBackByteForByte) {
  const Buffer ico = Copy(embed_test::kIconCopy, embed_test::kIconCopySize);
  const IconResources resources = SplitIco(ico);
  ASSERT_EQ(resources.images.size(), 2u);
  gIcon = &resources;
  gAsked.clear();
  EXPECT_EQ(content::IcoFileFromResources(View(resources.group), ImageById), ico);
  EXPECT_EQ(gAsked, (std::vector<unsigned>{1, 2}));
}

TEST(PictureFiles, IconImagesFollowTheGroupOrderWhateverTheirNumbers) {
  IconResources r;
  r.images = {Buffer(5, 0xAA), Buffer(3, 0xBB)};
  // One directory, two entries naming image 2 first, then image 1.
  r.group = {0, 0, 1, 0, 2, 0};
  const unsigned char entry2[] = {16, 16, 0, 0, 1, 0, 24, 0, 3, 0, 0, 0, 2, 0};
  const unsigned char entry1[] = {32, 32, 0, 0, 1, 0, 24, 0, 5, 0, 0, 0, 1, 0};
  r.group.insert(r.group.end(), std::begin(entry2), std::end(entry2));
  r.group.insert(r.group.end(), std::begin(entry1), std::end(entry1));
  gIcon = &r;
  gAsked.clear();
  const Buffer ico = content::IcoFileFromResources(View(r.group), ImageById);
  EXPECT_EQ(gAsked, (std::vector<unsigned>{2, 1}));
  ASSERT_EQ(ico.size(), 6u + 2 * 16 + 3 + 5);
  EXPECT_EQ(ico[6], 16);
  EXPECT_EQ(U32(ico, 6 + 8), 3u);
  EXPECT_EQ(U32(ico, 6 + 12), 38u);
  EXPECT_EQ(ico[22], 32);
  EXPECT_EQ(U32(ico, 22 + 8), 5u);
  EXPECT_EQ(U32(ico, 22 + 12), 41u);
  EXPECT_EQ(ico[38], 0xBB);
  EXPECT_EQ(ico[41], 0xAA);
}

TEST(PictureFiles, IconGroupCutShortIsRefused) {
  IconResources r;
  r.images = {Buffer(4, 1)};
  gIcon = &r;
  const Buffer cases[] = {
      {},
      {0, 0, 1, 0},
      {0, 0, 1, 0, 1, 0},                                       // one entry announced, none
      {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 24, 0, 4, 0, 0},  // entry one byte short
      {0, 0, 1, 0, 0xFF, 0xFF},                                 // 65535 entries announced
  };
  for (const Buffer& group : cases) {
    gAsked.clear();
    EXPECT_THROW(content::IcoFileFromResources(View(group), ImageById), plat::Error);
    EXPECT_TRUE(gAsked.empty());
  }
}

// ---- the accessors ----------------------------------------------------------------------

// Whatever the program keeps its pictures in (arrays, or resources on Windows), the
// accessors hand out the source files byte for byte, with the zero byte after them.
TEST(PictureFiles, AccessorsGiveTheSourceFiles) {
  struct Case {
    const char* what;
    content::Bytes (*get)();
    const unsigned char* file;
    std::size_t size;
  };
  const Case cases[] = {
      {"logo", content::LogoBitmap, embed_test::kLogoCopy, embed_test::kLogoCopySize},
      {"welcome", content::WelcomeBitmap, embed_test::kWelcomeCopy,
       embed_test::kWelcomeCopySize},
      {"viewer download", content::ViewerDownloadBitmap, embed_test::kViewerDownloadCopy,
       embed_test::kViewerDownloadCopySize},
      {"icon", content::IconFile, embed_test::kIconCopy, embed_test::kIconCopySize},
  };
  for (const Case& c : cases) {
    const content::Bytes b = c.get();
    ASSERT_EQ(Copy(b.data(), b.size()), Copy(c.file, c.size)) << c.what;
    EXPECT_EQ(b.data()[b.size()], 0u) << c.what;
    // The same view every time: the file is built once and kept.
    EXPECT_EQ(c.get().data(), b.data()) << c.what;
  }
}

}  // namespace
