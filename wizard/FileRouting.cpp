// The routing rules of the installation run.
#include "wizard/FileRouting.h"

#include <cstddef>

#include "archive/NameSafety.h"
#include "platform/Files.h"

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

MemberRoute RouteMember(const std::string& storedPath, const std::string& destination) {
  MemberRoute route;
  const std::string fileName = plat::ExtractFileName(storedPath);
  if (!archive::IsSafeFileName(fileName)) {
    route.refusal = RouteRefusal::kUnsafeFileName;
    return route;
  }
  const std::string subfolder = SubfolderFor(RoutingExtension(storedPath));
  route.target = destination + "\\" + (subfolder.empty() ? "" : subfolder + "\\") + fileName;
  return route;
}

}  // namespace wizard
