// The built-in wizard content: texts are Windows-1252 with CR LF line ends and say what
// the pages need; the pictures are well-formed files of the sizes the window layout expects.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "wizard/content/Content.h"

namespace {

struct NamedText {
  const char* name;
  std::string (*get)();
};

const NamedText kMultiLine[] = {
    {"licence", content::LicenceText},
    {"information", content::InformationText},
    {"privacy", content::PrivacyNotice},
};
const NamedText kOneLine[] = {
    {"slogan", content::Slogan},
    {"vendor notice 1", content::VendorNotice1},
    {"vendor notice 2", content::VendorNotice2},
};

std::vector<NamedText> AllTexts() {
  std::vector<NamedText> all(std::begin(kMultiLine), std::end(kMultiLine));
  all.insert(all.end(), std::begin(kOneLine), std::end(kOneLine));
  return all;
}

std::size_t CountLines(const std::string& text) {
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// ---- texts ----------------------------------------------------------------------------

TEST(ContentText, IsSingleByteWindows1252) {
  for (const NamedText& t : AllTexts()) {
    const std::string text = t.get();
    ASSERT_FALSE(text.empty()) << t.name;
    for (std::size_t i = 0; i < text.size(); ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      EXPECT_NE(byte, 0u) << t.name << " has a zero byte at " << i;
      // A UTF-8 two-byte sequence (lead 0xC2..0xDF, then 0x80..0xBF) means the file was
      // saved in the wrong encoding: "è" would show as two characters on the page.
      if (byte >= 0xC2 && byte <= 0xDF && i + 1 < text.size()) {
        const auto next = static_cast<unsigned char>(text[i + 1]);
        EXPECT_FALSE(next >= 0x80 && next <= 0xBF) << t.name << " has UTF-8 at " << i;
      }
    }
  }
}

TEST(ContentText, MultiLineTextsEndEveryLineInCrLf) {
  for (const NamedText& t : kMultiLine) {
    const std::string text = t.get();
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') {
        EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << t.name << " at " << i;
      }
      if (text[i] == '\r') {
        EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << t.name << " at " << i;
      }
    }
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << t.name;
    EXPECT_EQ(text.find("\r\n\r\n\r\n"), std::string::npos) << t.name << ": stray blank lines";
  }
}

TEST(ContentText, OneLineTextsHaveNoLineBreak) {
  for (const NamedText& t : kOneLine) {
    const std::string text = t.get();
    EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << t.name;
    EXPECT_NE(text.back(), ' ') << t.name;
  }
}

TEST(ContentText, AccentedLettersAreSingleBytes) {
  EXPECT_TRUE(Contains(content::LicenceText(), " \xE8 "));                   // "è"
  EXPECT_TRUE(Contains(content::LicenceText(), "PROPRIET\xC0"));             // "PROPRIETÀ"
  EXPECT_TRUE(Contains(content::PrivacyNotice(), "citt\xE0"));               // "città"
  EXPECT_TRUE(Contains(content::VendorNotice1(), "\xA9"));                   // "©"
}

// Web and mail addresses must stay on a reserved example domain, never a real one.
TEST(ContentText, AddressesUseTheExampleDomain) {
  for (const NamedText& t : AllTexts()) {
    const std::string text = t.get();
    for (const char* marker : {"www.", "@"}) {
      for (std::size_t at = text.find(marker); at != std::string::npos;
           at = text.find(marker, at + 1)) {
        std::size_t end = at;
        while (end < text.size() && text[end] != ' ' && text[end] != '\r' && text[end] != ',')
          ++end;
        std::string address = text.substr(at, end - at);
        while (!address.empty() && (address.back() == '.' || address.back() == ')'))
          address.pop_back();
        const std::string suffix = ".example";
        ASSERT_GE(address.size(), suffix.size()) << t.name << ": " << address;
        EXPECT_EQ(address.substr(address.size() - suffix.size()), suffix)
            << t.name << ": " << address;
      }
    }
  }
}

TEST(ContentText, LicenceTellsHowToScrollAndNamesTheParties) {
  const std::string text = content::LicenceText();
  EXPECT_TRUE(Contains(text, "PAG-GIU'"));
  EXPECT_TRUE(Contains(text, "NORTAVIA"));
  EXPECT_TRUE(Contains(text, "Lumidesk"));
  EXPECT_GE(CountLines(text), 40u);
  EXPECT_LE(CountLines(text), 70u);
}

TEST(ContentText, InformationNamesTheDefaultFolderAndRequirements) {
  const std::string text = content::InformationText();
  EXPECT_TRUE(Contains(text, "c:\\programmi\\nortavia\\Lumidesk"));
  EXPECT_TRUE(Contains(text, "Requisiti"));
  EXPECT_GE(CountLines(text), 15u);
  EXPECT_LE(CountLines(text), 25u);
}

TEST(ContentText, PrivacyNoticeCoversControllerDataPurposeRightsAndConsent) {
  const std::string text = content::PrivacyNotice();
  EXPECT_TRUE(Contains(text, "NORTAVIA"));
  EXPECT_TRUE(Contains(text, "Titolare del trattamento"));
  for (const char* field : {"cognome", "nome", "indirizzo", "citt\xE0", "provincia", "et\xE0",
                            "telefono cellulare", "sesso"})
    EXPECT_TRUE(Contains(text, field)) << field;
  EXPECT_TRUE(Contains(text, "nuove release"));
  EXPECT_TRUE(Contains(text, "posta elettronica"));
  for (const char* right : {"accedere", "rettifica", "cancellazione", "opporsi"})
    EXPECT_TRUE(Contains(text, right)) << right;
  EXPECT_TRUE(Contains(text, "\"Accetto\""));
  EXPECT_GE(CountLines(text), 14u);
  EXPECT_LE(CountLines(text), 18u);
}

// ---- pictures -------------------------------------------------------------------------

std::uint32_t U16(const content::Bytes& b, std::size_t off) {
  return b.data()[off] | (b.data()[off + 1] << 8);
}
std::uint32_t U32(const content::Bytes& b, std::size_t off) {
  return U16(b, off) | (U16(b, off + 2) << 16);
}

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;

struct Dib {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint32_t bits = 0;
  std::uint32_t compression = 0;
  std::size_t pixels = 0;  // offset of the bottom row in the buffer
  std::size_t stride = 0;
};

// Reads a BITMAPINFOHEADER at off and checks that the pixel rows fit in the buffer.
::testing::AssertionResult ReadDib(const content::Bytes& b, std::size_t off,
                                   std::size_t pixels, std::int32_t rows, Dib& dib) {
  if (off > b.size() || kInfoHeaderSize > b.size() - off)
    return ::testing::AssertionFailure() << "info header cut short";
  if (U32(b, off) != kInfoHeaderSize)
    return ::testing::AssertionFailure() << "info header size " << U32(b, off);
  dib.width = static_cast<std::int32_t>(U32(b, off + 4));
  dib.height = static_cast<std::int32_t>(U32(b, off + 8));
  if (U16(b, off + 12) != 1) return ::testing::AssertionFailure() << "planes";
  dib.bits = U16(b, off + 14);
  dib.compression = U32(b, off + 16);
  if (dib.width <= 0 || rows <= 0) return ::testing::AssertionFailure() << "bad size";
  dib.stride = (static_cast<std::size_t>(dib.width) * dib.bits / 8 + 3) / 4 * 4;
  dib.pixels = pixels;
  if (pixels > b.size() || dib.stride * static_cast<std::size_t>(rows) > b.size() - pixels)
    return ::testing::AssertionFailure() << "pixel rows run past the end";
  return ::testing::AssertionSuccess();
}

// Parses a whole .bmp file: file header, info header, rows inside the file.
::testing::AssertionResult ParseBmp(const content::Bytes& b, Dib& dib) {
  if (b.size() < kFileHeaderSize || b.data()[0] != 'B' || b.data()[1] != 'M')
    return ::testing::AssertionFailure() << "no BM signature";
  if (U32(b, 2) != b.size())
    return ::testing::AssertionFailure() << "file size field " << U32(b, 2) << " vs " << b.size();
  const std::int32_t rows = static_cast<std::int32_t>(U32(b, kFileHeaderSize + 8));
  return ReadDib(b, kFileHeaderSize, U32(b, 10), rows < 0 ? -rows : rows, dib);
}

struct Rgb {
  int r, g, b;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Pixel (x, y) counted from the top left, for a bottom-up 24-bit image.
Rgb PixelAt(const content::Bytes& b, const Dib& dib, int x, int y) {
  const unsigned char* p = b.data() + dib.pixels +
                           dib.stride * static_cast<std::size_t>(dib.height - 1 - y) +
                           static_cast<std::size_t>(x) * 3;
  return {p[2], p[1], p[0]};
}

TEST(ContentPicture, LogoIs200By54TrueColourOnWhite) {
  const content::Bytes bmp = content::LogoBitmap();
  Dib dib;
  ASSERT_TRUE(ParseBmp(bmp, dib));
  EXPECT_EQ(dib.width, 200);
  ASSERT_EQ(dib.height, 54);
  EXPECT_EQ(dib.bits, 24u);
  EXPECT_EQ(dib.compression, 0u);
  const Rgb white{255, 255, 255};
  EXPECT_EQ(PixelAt(bmp, dib, 0, 0), white);
  EXPECT_EQ(PixelAt(bmp, dib, 199, 0), white);
  EXPECT_EQ(PixelAt(bmp, dib, 0, 53), white);
  EXPECT_EQ(PixelAt(bmp, dib, 199, 53), white);
  int lettering = 0;  // the product name is drawn in the header's dark blue
  for (int y = 0; y < 54; ++y)
    for (int x = 0; x < 200; ++x) lettering += PixelAt(bmp, dib, x, y) == Rgb{0, 0, 96};
  EXPECT_GT(lettering, 300);
}

TEST(ContentPicture, WelcomeIs104By93AndBlendsIntoItsBox) {
  const content::Bytes bmp = content::WelcomeBitmap();
  Dib dib;
  ASSERT_TRUE(ParseBmp(bmp, dib));
  EXPECT_EQ(dib.width, 104);
  ASSERT_EQ(dib.height, 93);
  EXPECT_EQ(dib.bits, 24u);
  EXPECT_EQ(dib.compression, 0u);
  // The picture sits in a box filled with RGB 0,128,192: its top corners are that colour.
  EXPECT_EQ(PixelAt(bmp, dib, 0, 0), (Rgb{0, 128, 192}));
  EXPECT_EQ(PixelAt(bmp, dib, 103, 0), (Rgb{0, 128, 192}));
}

TEST(ContentPicture, IconHolds32And16PixelImagesWithMasks) {
  const content::Bytes ico = content::IconFile();
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(U16(ico, 0), 0u);
  EXPECT_EQ(U16(ico, 2), 1u);  // 1 = icon, 2 = cursor
  ASSERT_EQ(U16(ico, 4), 2u);
  ASSERT_GE(ico.size() - 6, 2 * 16u);
  const int sizes[] = {32, 16};
  for (std::size_t i = 0; i < 2; ++i) {
    const std::size_t entry = 6 + 16 * i;
    const int size = sizes[i];
    EXPECT_EQ(ico.data()[entry], size);
    EXPECT_EQ(ico.data()[entry + 1], size);
    const std::uint32_t length = U32(ico, entry + 8);
    const std::uint32_t offset = U32(ico, entry + 12);
    ASSERT_LE(offset, ico.size());
    ASSERT_LE(length, ico.size() - offset);
    Dib dib;
    // An icon image stores the colour rows and then the one-bit mask rows.
    ASSERT_TRUE(ReadDib(ico, offset, offset + kInfoHeaderSize, size, dib));
    EXPECT_EQ(dib.width, size);
    EXPECT_EQ(dib.height, 2 * size);
    EXPECT_EQ(dib.bits, 24u);
    const std::size_t maskStride = (static_cast<std::size_t>(size) + 31) / 32 * 4;
    EXPECT_EQ(length, kInfoHeaderSize + (dib.stride + maskStride) * size);
  }
}

}  // namespace
