// The archive held against itself: structure and data through the walk, then the catalogue
// and the header against the members found.
#include "archive/ArchiveCheck.h"

#include "archive/BackupFormat.h"
#include "archive/CatalogueText.h"

namespace archive {

ArchiveSummary VerifyArchive(ArchiveWalker& walker) {
  const std::string file = walker.Volumes().front();
  ArchiveSummary summary;
  summary.header = walker.ReadHeader();
  const ArchiveHeader& header = summary.header;
  std::string catalogueText;
  const std::vector<MemberRecord> members = walker.Walk(
      [](const MemberRecord&) { return true; },
      [&catalogueText](const MemberRecord& m, const std::uint8_t* data, std::size_t n) {
        if (m.index == 0 && m.name == kCatalogueName) {
          catalogueText.append(reinterpret_cast<const char*>(data), n);
        }
      });
  walker.CheckTail();

  const bool hasCatalogue = !members.empty() && members[0].name == kCatalogueName;
  std::vector<const MemberRecord*> files;
  std::int64_t total = 0;
  for (const MemberRecord& m : members) {
    if (m.index > 0 && m.name == kCatalogueName) {
      throw WalkError(file, m.name, "a catalogue member at position " +
                                        std::to_string(m.index + 1) +
                                        "; only the first member may be the catalogue");
    }
    if (m.index > 0 || !hasCatalogue) {
      files.push_back(&m);
      summary.fileBytes += m.size;
    }
    total += m.size;
    summary.blocks += m.blocks;
    summary.storedBlocks += m.storedBlocks;
  }

  if (hasCatalogue) {
    std::vector<CatalogueLine> lines;
    std::string error;
    if (!ParseCatalogue(catalogueText, lines, error)) throw WalkError(file, kCatalogueName, error);
    for (std::size_t i = 0; i < lines.size() && i < files.size(); ++i) {
      const MemberRecord& m = *files[i];
      const CatalogueLine& l = lines[i];
      const std::string line = "catalogue line " + std::to_string(i + 1);
      if (l.name != m.name) throw WalkError(file, m.name, line + " names \"" + l.name + "\"");
      if (l.dateTime != m.dateTime) {
        throw WalkError(file, m.name, "date-time " + std::to_string(m.dateTime) +
                                          " differs from " + line + "'s " +
                                          std::to_string(l.dateTime));
      }
      if (l.size != m.size) {
        throw WalkError(file, m.name, "size " + std::to_string(m.size) + " differs from " + line +
                                          "'s " + std::to_string(l.size));
      }
    }
    if (lines.size() != files.size()) {
      throw WalkError(file, kCatalogueName,
                      "lists " + std::to_string(lines.size()) + " files; the archive holds " +
                          std::to_string(files.size()));
    }
  }
  if (header.fileCount < 0 || static_cast<std::size_t>(header.fileCount) != files.size()) {
    throw WalkError(file, "", "the header counts " + std::to_string(header.fileCount) +
                                  " files; the archive holds " + std::to_string(files.size()));
  }
  if (header.totalSize != total) {
    throw WalkError(file, "", "the header's total size " + std::to_string(header.totalSize) +
                                  " differs from the members' " + std::to_string(total) +
                                  " bytes");
  }

  summary.files = files.size();
  for (const MemberRecord* m : files) summary.fileNames.push_back(m->name);
  summary.volumes = walker.Volumes().size();
  summary.installer = walker.IsInstaller();
  summary.certificateTableSize = walker.CertificateTableSize();
  summary.hasCatalogue = hasCatalogue;
  return summary;
}

void ScanArchive(ArchiveWalker& walker) {
  walker.ReadHeader();
  walker.Walk([](const MemberRecord&) { return false; }, nullptr);
  walker.CheckTail();
}

}  // namespace archive
