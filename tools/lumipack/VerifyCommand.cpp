// lumipack verify: reads every member and block, inflating each compressed block and checking
// its zlib stream, and holds the result against the catalogue and the header. Writes nothing.
// A signed installer's signature is left to osslsigncode verify and Windows.
#include "archive/ArchiveCheck.h"
#include "tools/lumipack/Catalogue.h"
#include "tools/lumipack/Lumipack.h"

namespace lumipack {

void Verify(const std::string& file, Context& ctx, const std::string& codec) {
  archive::ArchiveWalker walker(ctx.fs, file);
  walker.SetCodec(CodecNamed(codec));
  const archive::ArchiveSummary s = archive::VerifyArchive(walker);
  ctx.out << file << ": OK: title \"" << s.header.title << "\", " << s.files << " files, "
          << s.fileBytes << " bytes, " << s.blocks << " blocks (" << s.storedBlocks
          << " stored), " << s.volumes << (s.volumes == 1 ? " volume" : " volumes")
          << (s.installer ? ", installer" : "") << (s.hasCatalogue ? "" : ", no catalogue")
          << "\n";
  if (s.certificateTableSize != 0) ctx.out << SignedInstallerLine(s.certificateTableSize);
}

}  // namespace lumipack
