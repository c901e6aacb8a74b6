// lumipack list: the title and, from the catalogue, one line per file: name, last-write date
// and time, size. An archive without a catalogue is walked instead, inflating every member to
// learn its size.
#include <algorithm>
#include <cstdio>

#include "archive/BackupFormat.h"
#include "archive/ArchiveWalker.h"
#include "tools/lumipack/Catalogue.h"
#include "tools/lumipack/Lumipack.h"

namespace lumipack {

void List(const std::string& file, Context& ctx) {
  std::vector<CatalogueLine> lines;
  std::string title;
  bool fromCatalogue = false;
  std::int64_t certificateTable = 0;
  {
    ArchiveWalker walker(ctx.fs, file);
    certificateTable = walker.CertificateTableSize();
    title = walker.ReadHeader().title;
    fromCatalogue = ReadCatalogue(walker, lines);
  }
  if (!fromCatalogue) {
    ArchiveWalker walker(ctx.fs, file);
    walker.ReadHeader();
    for (const MemberRecord& m : walker.Walk([](const MemberRecord&) { return true; }, nullptr)) {
      lines.push_back({m.name, m.dateTime, m.size});
    }
    walker.CheckTail();
  }

  std::size_t width = 0;
  std::int64_t total = 0;
  for (const CatalogueLine& l : lines) {
    width = std::max(width, l.name.size());
    total += l.size;
  }
  ctx.out << "Title: " << title << "\n";
  for (const CatalogueLine& l : lines) {
    char size[32];
    std::snprintf(size, sizeof size, "%12lld", static_cast<long long>(l.size));
    ctx.out << l.name << std::string(width - l.name.size() + 2, ' ') << FormatDosDateTime(l.dateTime)
            << size << "\n";
  }
  ctx.out << lines.size() << (lines.size() == 1 ? " file, " : " files, ") << total << " bytes"
          << (fromCatalogue ? "" : " (no catalogue: read from the members)") << "\n";
  if (certificateTable != 0) ctx.out << SignedInstallerLine(certificateTable);
}

}  // namespace lumipack
