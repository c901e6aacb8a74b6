// Parsing of the catalogue text, strict: the packager's verify and the installer's check
// hold the members against it.
#include "archive/CatalogueText.h"

#include <limits>

namespace archive {

namespace {

// Decimal digits only, no sign, within max.
bool ParseDecimal(const std::string& text, std::uint64_t max, std::uint64_t& value) {
  if (text.empty() || text.size() > 20) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (value > (max - digit) / 10) return false;
    value = value * 10 + digit;
  }
  return true;
}

}  // namespace

bool ParseCatalogue(const std::string& text, std::vector<CatalogueLine>& lines,
                    std::string& error) {
  lines.clear();
  std::size_t start = 0;
  std::size_t number = 0;
  while (start < text.size()) {
    ++number;
    const std::string where = "catalogue line " + std::to_string(number);
    const std::size_t cr = text.find('\r', start);
    const std::size_t lf = text.find('\n', start);
    if (cr == std::string::npos || lf != cr + 1) {
      error = where + " does not end in CR LF";
      return false;
    }
    const std::string line = text.substr(start, cr - start);
    start = lf + 1;
    const std::size_t tab = line.rfind('\t');
    const std::size_t eq = tab == std::string::npos ? tab : line.find('=', tab);
    std::uint64_t dateTime = 0, size = 0;
    if (tab == std::string::npos || tab == 0 || eq == std::string::npos ||
        !ParseDecimal(line.substr(tab + 1, eq - tab - 1), std::numeric_limits<std::uint32_t>::max(),
                      dateTime) ||
        !ParseDecimal(line.substr(eq + 1), std::numeric_limits<std::int64_t>::max(), size)) {
      error = where + " is not \"name<TAB>date-time=size\"";
      return false;
    }
    lines.push_back({line.substr(0, tab), static_cast<std::uint32_t>(dateTime),
                     static_cast<std::int64_t>(size)});
  }
  return true;
}

}  // namespace archive
