// The catalogue as the packager's commands read it: the first member of a walk, parsed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWalker.h"
#include "archive/CatalogueText.h"
#include "tools/lumipack/Failure.h"

namespace lumipack {

using archive::ArchiveHeader;
using archive::ArchiveWalker;
using archive::CatalogueLine;
using archive::MemberRecord;
using archive::ParseCatalogue;

// Reads the first member after the header when it is the catalogue and parses it. Returns false
// when the archive has no catalogue; throws Failure when it is damaged or malformed. The walk
// cannot go on afterwards (it has read past the catalogue).
bool ReadCatalogue(ArchiveWalker& walker, std::vector<CatalogueLine>& lines);

// "2004-11-22 17:54:04" for a DOS date-time.
std::string FormatDosDateTime(std::uint32_t dosDateTime);

// The line list and verify print for a signed installer: that it is signed and the size of its
// certificate table. Neither checks the signature: that is osslsigncode verify's and Windows'.
std::string SignedInstallerLine(std::int64_t certificateTableSize);

}  // namespace lumipack
