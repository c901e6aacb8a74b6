// The routing rules of the installation run.
#include "wizard/FileRouting.h"

#include <cstddef>

namespace wizard {

namespace {

std::string AsciiUpper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Extensions routed into the two template folders, compared with the upper-cased extension.
const char* const kTemplateExtensions[] = {"TXT", "GIF", "HTM", "HTML", "JPG", "JPEG"};
const char* const kRtfTemplateExtensions[] = {"BMP", "RVF"};

}  // namespace

std::string RoutingExtension(const std::string& storedPath) {
  const std::size_t size = storedPath.size();
  std::size_t pos = 0;
  // The first piece: skip leading dots, then the text up to the next dot.
  while (pos < size && storedPath[pos] == '.') ++pos;
  while (pos < size && storedPath[pos] != '.') ++pos;
  // The second piece starts after the run of dots that ends the first.
  while (pos < size && storedPath[pos] == '.') ++pos;
  const std::size_t start = pos;
  while (pos < size && storedPath[pos] != '.') ++pos;
  return AsciiUpper(storedPath.substr(start, pos - start));
}

std::string SubfolderFor(const std::string& extension) {
  for (const char* e : kTemplateExtensions)
    if (extension == e) return kTemplatesFolder;
  for (const char* e : kRtfTemplateExtensions)
    if (extension == e) return kRtfTemplatesFolder;
  return std::string();
}

std::string AnsiUpperCase(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    const unsigned char u = static_cast<unsigned char>(c);
    unsigned char upper = u;
    if (u >= 'a' && u <= 'z') upper = static_cast<unsigned char>(u - 0x20);
    // 0xE0..0xFE (a grave to thorn) except the division sign: capitals are 0x20 lower.
    else if (u >= 0xE0 && u <= 0xFE && u != 0xF7) upper = static_cast<unsigned char>(u - 0x20);
    else if (u == 0x9A) upper = 0x8A;  // s caron
    else if (u == 0x9C) upper = 0x8C;  // oe
    else if (u == 0x9E) upper = 0x8E;  // z caron
    else if (u == 0xFF) upper = 0x9F;  // y diaeresis
    c = static_cast<char>(upper);
  }
  return result;
}

}  // namespace wizard
