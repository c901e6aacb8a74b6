// The catalogue member's text: one line per file member, Name TAB DosDateTime "=" Size CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/lumipack/ArchiveWalker.h"

namespace lumipack {

struct CatalogueLine {
  std::string name;
  std::uint32_t dateTime = 0;
  std::int64_t size = 0;
};

// Parses the whole text. Every line must have the form above and end in CR LF. Returns false
// and sets error (naming the line, counted from 1) on the first malformed line.
bool ParseCatalogue(const std::string& text, std::vector<CatalogueLine>& lines,
                    std::string& error);

// Reads the first member after the header when it is the catalogue and parses it. Returns false
// when the archive has no catalogue; throws Failure when it is damaged or malformed. The walk
// cannot go on afterwards (it has read past the catalogue).
bool ReadCatalogue(ArchiveWalker& walker, std::vector<CatalogueLine>& lines);

// "2004-11-22 17:54:04" for a DOS date-time.
std::string FormatDosDateTime(std::uint32_t dosDateTime);

}  // namespace lumipack
