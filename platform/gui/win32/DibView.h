// Where the header and the pixels of a BMP file's bytes lie, checked before GDI reads them: the
// pictures are handed to StretchDIBits as pointers into the file, so every size GDI will use
// must lie inside the bytes.
#pragma once

#include <cstddef>

namespace gui {
namespace win32 {

struct DibView {
  const void* info = nullptr;  // BITMAPINFO: the header and any colour table
  const void* bits = nullptr;  // the pixel rows
  int width = 0;
  int height = 0;              // rows, whatever their order in the file
};

// Fills the view and returns true for an uncompressed BMP of 1, 4, 8, 16, 24 or 32 bits per
// pixel whose header, colour table and pixel rows all lie inside the bytes; false otherwise.
bool ViewDib(const unsigned char* file, std::size_t size, DibView& view);

}  // namespace win32
}  // namespace gui
