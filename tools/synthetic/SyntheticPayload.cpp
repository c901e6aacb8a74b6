// The shape of the shipped payload and the writing of its synthetic stand-in.
#include "tools/synthetic/SyntheticPayload.h"

#include "platform/Error.h"
#include "tools/synthetic/ContentGenerators.h"

namespace synthetic {

namespace {

constexpr std::uint32_t Dos(unsigned year, unsigned month, unsigned day, unsigned hour,
                            unsigned minute, unsigned second) {
  return ((year - 1980) << 25) | (month << 21) | (day << 16) | (hour << 11) | (minute << 5) |
         (second / 2);
}

constexpr std::uint64_t kSeed = 0x4C756D6944736B31ull;
// The two pieces of the program that hold random bytes, well inside its 561 pieces.
constexpr std::size_t kRandomPieceA = 300;
constexpr std::size_t kRandomPieceB = 301;
// One that barely compresses, as the shipped program's largest compressed block does.
constexpr std::size_t kDensePiece = 302;

}  // namespace

const std::vector<FileShape>& ShippedFiles() {
  // Names and sizes chosen so that the catalogue text is 812 bytes, as shipped.
  static const std::vector<FileShape> files = {
      {"lumidesk.exe", 9178112, Dos(2004, 11, 22, 17, 40, 12), Kind::Program},
      {"search.ico", 766, Dos(2003, 7, 4, 8, 28, 32), Kind::Icon},
      {"modellirtf\\fattura.rvf", 4881, Dos(2003, 9, 15, 11, 2, 44), Kind::Document},
      {"modellirtf\\preventivo.rvf", 98919, Dos(2004, 3, 2, 16, 21, 8), Kind::Document},
      {"modellirtf\\lettera_clienti.rvf", 12760, Dos(2003, 9, 15, 11, 6, 20), Kind::Document},
      {"modellirtf\\offerta_commerciale.rvf", 28233, Dos(2004, 5, 18, 9, 47, 56), Kind::Document},
      {"modellirtf\\ordine.rvf", 31333, Dos(2004, 1, 27, 15, 12, 30), Kind::Document},
      {"modellirtf\\intestazione.bmp", 22128, Dos(2003, 6, 30, 10, 0, 0), Kind::Bitmap},
      {"modellirtf\\logo_fattura.bmp", 22128, Dos(2003, 6, 30, 10, 1, 14), Kind::Bitmap},
      {"modellirtf\\sfondo_lettera.bmp", 22128, Dos(2003, 6, 30, 10, 3, 2), Kind::Bitmap},
      {"lumidesk.hlp", 1661488, Dos(2004, 11, 19, 10, 15, 46), Kind::Help},
      {"modellirtf\\firma_ditta.bmp", 22128, Dos(2003, 7, 1, 14, 30, 10), Kind::Bitmap},
      {"modellirtf\\timbro_offerta.bmp", 22128, Dos(2003, 7, 1, 14, 33, 58), Kind::Bitmap},
  };
  return files;
}

std::vector<std::uint8_t> Content(std::size_t index) {
  const FileShape& f = ShippedFiles().at(index);
  const std::uint64_t seed = kSeed + 0x1000193ull * (index + 1);
  const auto size = static_cast<std::size_t>(f.size);
  switch (f.kind) {
    case Kind::Program:
      return MakeProgram(size, seed, {kRandomPieceA, kRandomPieceB}, {kDensePiece},
                         static_cast<std::size_t>(archive::kBlockSize));
    case Kind::Icon: return MakeIcon(seed);
    case Kind::Help: return MakeHelp(size, seed);
    case Kind::Document: return MakeDocument(size, seed, plat::ExtractFileName(f.relativePath));
    case Kind::Bitmap: return MakeBitmap(size, seed);
  }
  return {};
}

std::vector<archive::WriterMember> Members() {
  std::vector<archive::WriterMember> members;
  const auto& files = ShippedFiles();
  for (std::size_t i = 0; i < files.size(); ++i) {
    archive::WriterMember m;
    m.name = files[i].StoredName();
    m.dosDateTime = files[i].dosDateTime;
    m.size = files[i].size;
    m.open = [i]() -> std::unique_ptr<plat::Stream> {
      return std::make_unique<plat::MemoryStream>(Content(i));
    };
    members.push_back(std::move(m));
  }
  return members;
}

archive::WriterOptions PayloadOptions() {
  archive::WriterOptions options;
  options.title = kTitle;
  options.level = archive::kDefaultLevel;
  options.catalogueDateTime = kCatalogueDateTime;
  return options;
}

archive::WriteSummary WritePayload(plat::Stream& out) {
  archive::ArchiveWriter writer(PayloadOptions());
  return writer.Write(Members(), out);
}

std::string WriteFiles(const std::string& folder, plat::FileSystem& fs) {
  const std::string root = plat::IncludeTrailingBackslash(folder) + plat::ExtractFileName(kRoot);
  const auto& files = ShippedFiles();
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::string path = root + "\\" + files[i].relativePath;
    if (!fs.ForceDirectories(plat::ExcludeTrailingBackslash(plat::ExtractFilePath(path)))) {
      throw plat::Error("Cannot create the folder of " + path);
    }
    const std::vector<std::uint8_t> bytes = Content(i);
    auto file = fs.Create(path);
    file->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    if (!file->SetDosDateTime(static_cast<std::int32_t>(files[i].dosDateTime))) {
      throw plat::Error("Cannot set the date of " + path);
    }
  }
  return root;
}

}  // namespace synthetic
