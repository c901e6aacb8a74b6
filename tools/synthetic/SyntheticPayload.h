// A synthetic payload shaped like the product's shipped one: the same title, the same thirteen
// file members with their names, sizes, order and block layout (688 blocks counting the
// catalogue's, two of them stored), and content of the same kinds (program code and data,
// help text, document templates, bitmaps, an icon). Everything derives from fixed seeds, so
// every run produces the same bytes. Tests, benchmarks and the demo use it in place of the
// real product.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace synthetic {

constexpr char kTitle[] = "3.0.0.3";
// The folder the product's files were packed from; member names are this plus "\" plus the
// file's path below it.
constexpr char kRoot[] = "c:\\nortavia\\lumidesk";
constexpr char kTemplateFolder[] = "modellirtf";
// 22 November 2004, 17:54:04: later than every file.
constexpr std::uint32_t kCatalogueDateTime = 0x31768EC2u;

constexpr int kFileCount = 13;
constexpr std::int64_t kFilesTotal = 11127132;
constexpr std::int64_t kCatalogueSize = 812;
constexpr std::int64_t kBlockCount = 688;  // the catalogue's one block included
constexpr std::int64_t kStoredBlocks = 2;

enum class Kind { Program, Icon, Help, Document, Bitmap };

struct FileShape {
  std::string relativePath;  // below kRoot, e.g. "modellirtf\fattura.rvf"
  std::int64_t size;
  std::uint32_t dosDateTime;
  Kind kind;

  std::string StoredName() const { return std::string(kRoot) + "\\" + relativePath; }
};

// The thirteen files in member order: the program first, the help file eleventh.
const std::vector<FileShape>& ShippedFiles();

// The content of ShippedFiles()[index]: exactly its size, the same bytes on every call.
std::vector<std::uint8_t> Content(std::size_t index);

// Writer members for the thirteen files; each opens a memory stream over its content.
std::vector<archive::WriterMember> Members();

archive::WriterOptions PayloadOptions();

// The whole archive, as a standalone archive at out's position.
archive::WriteSummary WritePayload(plat::Stream& out);

// Writes the files below folder as "<folder>\lumidesk\...", with their date-times, creating the
// folders. Returns the folder that stands for kRoot. Throws plat::Error on failure.
std::string WriteFiles(const std::string& folder,
                       plat::FileSystem& fs = plat::RealFileSystem());

}  // namespace synthetic
