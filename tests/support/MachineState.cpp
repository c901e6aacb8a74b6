#include "support/MachineState.h"

#include <zlib.h>

#include <functional>

#include "platform/Files.h"
#include "platform/Shell.h"
#include "support/ScratchDrive.h"

namespace testsupport {

namespace {

std::string Replaced(std::string text, const std::string& base) {
  if (base.empty()) return text;
  for (std::size_t at = text.find(base); at != std::string::npos;
       at = text.find(base, at + 6)) {
    text.replace(at, base.size(), "<base>");
  }
  return text;
}

// Short contents as they are, longer ones by size and CRC-32.
std::string Content(const std::string& bytes) {
  if (bytes.size() <= 200) return "[" + bytes + "]";
  const auto crc = crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()),
                         static_cast<uInt>(bytes.size()));
  return std::to_string(bytes.size()) + " bytes, CRC " + std::to_string(crc);
}

}  // namespace

std::string MachineState(const std::vector<std::string>& folders, const std::string& base,
                         const plat::MemoryRegistry* registry) {
  plat::FileSystem& fs = plat::RealFileSystem();
  std::string out;
  std::function<void(const std::string&)> walk = [&](const std::string& folder) {
    for (const plat::DirEntry& e : fs.ListDirectory(folder)) {
      const std::string path = folder + "\\" + e.name;
      if (e.isDirectory) {
        out += Replaced(path, base) + "\\\n";
        walk(path);
      } else if (plat::ChangeFileExt(path, ".lnk") == path) {
        // A link as the shell reads it: its bytes also hold when it was saved and the times of
        // the file it starts.
        plat::LinkInfo link;
        out += Replaced(path, base);
        out += plat::SystemShell().ReadLink(path, link)
                   ? " -> " + Replaced(link.target, base) + " (" + link.description + ")\n"
                   : " not a link\n";
      } else {
        out += Replaced(path, base) + " " + std::to_string(fs.FileAge(path)) + " " +
               Content(Replaced(ReadWholeFile(path), base)) + "\n";
      }
    }
  };
  for (const std::string& folder : folders) {
    out += Replaced(folder, base) + (fs.DirectoryExists(folder) ? ":\n" : ": none\n");
    walk(folder);
  }
  return registry != nullptr ? out + Replaced(registry->Dump(), base) : out;
}

}  // namespace testsupport
