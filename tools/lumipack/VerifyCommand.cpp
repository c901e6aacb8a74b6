// lumipack verify: reads every member and block, inflating each compressed block and checking
// its zlib stream, and holds the result against the catalogue and the header. Writes nothing.
#include "archive/BackupFormat.h"
#include "tools/lumipack/ArchiveWalker.h"
#include "tools/lumipack/Catalogue.h"
#include "tools/lumipack/Lumipack.h"

namespace lumipack {

void Verify(const std::string& file, Context& ctx) {
  ArchiveWalker walker(ctx.fs, file);
  const ArchiveHeader header = walker.ReadHeader();
  std::string catalogueText;
  const std::vector<MemberRecord> members = walker.Walk(
      [](const MemberRecord&) { return true; },
      [&catalogueText](const MemberRecord& m, const std::uint8_t* data, std::size_t n) {
        if (m.index == 0 && m.name == archive::kCatalogueName) {
          catalogueText.append(reinterpret_cast<const char*>(data), n);
        }
      });
  walker.CheckTail();

  const bool hasCatalogue = !members.empty() && members[0].name == archive::kCatalogueName;
  std::vector<const MemberRecord*> files;
  std::int64_t total = 0, fileBytes = 0, blocks = 0, stored = 0;
  for (const MemberRecord& m : members) {
    if (m.index > 0 && m.name == archive::kCatalogueName) {
      throw Failure(file, m.name, "a catalogue member at position " + std::to_string(m.index + 1) +
                                      "; only the first member may be the catalogue");
    }
    if (m.index > 0 || !hasCatalogue) {
      files.push_back(&m);
      fileBytes += m.size;
    }
    total += m.size;
    blocks += m.blocks;
    stored += m.storedBlocks;
  }

  if (hasCatalogue) {
    std::vector<CatalogueLine> lines;
    std::string error;
    if (!ParseCatalogue(catalogueText, lines, error)) {
      throw Failure(file, archive::kCatalogueName, error);
    }
    for (std::size_t i = 0; i < lines.size() && i < files.size(); ++i) {
      const MemberRecord& m = *files[i];
      const CatalogueLine& l = lines[i];
      const std::string line = "catalogue line " + std::to_string(i + 1);
      if (l.name != m.name) throw Failure(file, m.name, line + " names \"" + l.name + "\"");
      if (l.dateTime != m.dateTime) {
        throw Failure(file, m.name, "date-time " + std::to_string(m.dateTime) + " differs from " +
                                        line + "'s " + std::to_string(l.dateTime));
      }
      if (l.size != m.size) {
        throw Failure(file, m.name, "size " + std::to_string(m.size) + " differs from " + line +
                                        "'s " + std::to_string(l.size));
      }
    }
    if (lines.size() != files.size()) {
      throw Failure(file, archive::kCatalogueName,
                    "lists " + std::to_string(lines.size()) + " files; the archive holds " +
                        std::to_string(files.size()));
    }
  }
  if (header.fileCount < 0 || static_cast<std::size_t>(header.fileCount) != files.size()) {
    throw Failure(file, "", "the header counts " + std::to_string(header.fileCount) +
                                " files; the archive holds " + std::to_string(files.size()));
  }
  if (header.totalSize != total) {
    throw Failure(file, "", "the header's total size " + std::to_string(header.totalSize) +
                                " differs from the members' " + std::to_string(total) + " bytes");
  }

  const std::size_t volumes = walker.Volumes().size();
  ctx.out << file << ": OK: title \"" << header.title << "\", " << files.size() << " files, "
          << fileBytes << " bytes, " << blocks << " blocks (" << stored << " stored), " << volumes
          << (volumes == 1 ? " volume" : " volumes") << (walker.IsInstaller() ? ", installer" : "")
          << (hasCatalogue ? "" : ", no catalogue") << "\n";
}

}  // namespace lumipack
