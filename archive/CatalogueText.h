// The catalogue member's text: one line per file member, Name TAB DosDateTime "=" Size CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace archive {

struct CatalogueLine {
  std::string name;
  std::uint32_t dateTime = 0;
  std::int64_t size = 0;
};

// Parses the whole text. Every line must have the form above and end in CR LF. Returns false
// and sets error (naming the line, counted from 1) on the first malformed line.
bool ParseCatalogue(const std::string& text, std::vector<CatalogueLine>& lines,
                    std::string& error);

}  // namespace archive
