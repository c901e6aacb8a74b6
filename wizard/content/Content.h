// The installer's own content, built into the program: the Italian texts of the wizard
// (Windows-1252 bytes, lines ending in CR LF) and its pictures as BMP and ICO file bytes.
// The sources are the .txt, .bmp and .ico files beside this header; make-pictures.py draws
// the pictures.
#pragma once

#include <cstddef>
#include <string>

namespace content {

// A read-only view of bytes built into the program; valid for the program's whole life.
class Bytes {
public:
  constexpr Bytes(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
  constexpr const unsigned char* data() const { return data_; }
  constexpr std::size_t size() const { return size_; }
  constexpr const unsigned char* begin() const { return data_; }
  constexpr const unsigned char* end() const { return data_ + size_; }

private:
  const unsigned char* data_;
  std::size_t size_;
};

// Texts for the multi-line boxes: every line, the last one included, ends in CR LF.
std::string LicenceText();       // licence agreement (page 3)
std::string InformationText();   // product description and requirements (page 4)
std::string PrivacyNotice();     // privacy notice of the statistics card (page 1)

// One-line texts for labels: no line end.
std::string Slogan();            // under the welcome picture (page 0)
std::string VendorNotice1();     // first vendor line of the button strips (pages 0 and 1)
std::string VendorNotice2();     // second vendor line

// Whole files, headers included.
Bytes LogoBitmap();              // 200 x 54, 24 bits per pixel, for the window header
Bytes WelcomeBitmap();           // 104 x 93, 24 bits per pixel, the welcome page's picture
Bytes ViewerDownloadBitmap();    // 135 x 38, 24 bits per pixel, the viewer prompt's button
Bytes IconFile();                // application icon, 32 x 32 and 16 x 16

}  // namespace content
