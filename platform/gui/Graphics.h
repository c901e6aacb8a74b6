// Colours, fonts, pictures and cursor values of the GUI layer, in neutral types that both back
// ends understand. Colours are 0x00BBGGRR like a Windows COLORREF; values with the top bit set
// name a system colour (its index in the low byte), as the toolkit encodes them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gui {

using TColor = std::uint32_t;

constexpr TColor Rgb(unsigned r, unsigned g, unsigned b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr bool IsSystemColor(TColor c) { return (c & 0x80000000u) != 0; }

constexpr TColor clBlack = Rgb(0, 0, 0);
constexpr TColor clWhite = Rgb(255, 255, 255);
constexpr TColor clRed = Rgb(255, 0, 0);
constexpr TColor clNavy = Rgb(0, 0, 128);
// System colours (COLOR_BTNFACE = 15, COLOR_WINDOW = 5, COLOR_WINDOWTEXT = 8).
constexpr TColor clBtnFace = 0x8000000Fu;
constexpr TColor clWindow = 0x80000005u;
constexpr TColor clWindowText = 0x80000008u;

struct TFont {
  std::string Name = "MS Sans Serif";
  int Size = 8;  // points
  TColor Color = clWindowText;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;

  bool operator==(const TFont& o) const {
    return Name == o.Name && Size == o.Size && Color == o.Color && Bold == o.Bold &&
           Italic == o.Italic && Underline == o.Underline;
  }
  bool operator!=(const TFont& o) const { return !(*this == o); }
};

// A picture held as the bytes of a BMP file (the form of the bitmaps built into the program);
// the Win32 back end turns them into a device-independent bitmap. Width and height come from
// the file's header; an empty or malformed file gives an empty picture.
class TPicture {
 public:
  TPicture() = default;
  explicit TPicture(std::vector<unsigned char> bmpFile);

  bool Empty() const { return width_ == 0 || height_ == 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::vector<unsigned char>& Bytes() const { return bytes_; }
  // Incremented on every assignment, so a test can tell a fresh copy from an untouched picture.
  unsigned Generation() const { return generation_; }
  void Assign(const TPicture& source);

  bool SameImage(const TPicture& o) const { return bytes_ == o.bytes_; }

 private:
  std::vector<unsigned char> bytes_;
  int width_ = 0;
  int height_ = 0;
  unsigned generation_ = 0;
};

// Screen cursors, with the toolkit's values.
enum TCursor : int {
  crDefault = 0,
  crArrow = -2,
  crHourGlass = -11,
  crHandPoint = -21,
};

}  // namespace gui
