// Windows-1252 upper-casing.
#include "platform/CodePage.h"

namespace plat {

unsigned char AnsiUpperChar(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - ('a' - 'A'));
  // 0xE0..0xFE (a grave to thorn) except the division sign: capitals are 0x20 lower.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A: return 0x8A;  // s caron
    case 0x9C: return 0x8C;  // oe
    case 0x9E: return 0x8E;  // z caron
    case 0xFF: return 0x9F;  // y diaeresis
    default: return c;
  }
}

std::string AnsiUpperCase(const std::string& text) {
  std::string result = text;
  for (char& c : result) c = static_cast<char>(AnsiUpperChar(static_cast<unsigned char>(c)));
  return result;
}

}  // namespace plat
