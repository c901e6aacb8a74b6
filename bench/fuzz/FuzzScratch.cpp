// The scratch drive root of the fuzz targets. std::filesystem works on host paths here: the
// checks look at the real folders, not through the file layer under test.
#include "FuzzScratch.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/Files.h"

namespace fuzzing {

namespace fs = std::filesystem;

const std::string& ScratchRoot() {
  static const std::string root = [] {
    const fs::path p = fs::temp_directory_path() / ("lumi-fuzz-" + std::to_string(::getpid()));
    fs::remove_all(p);
    fs::create_directories(p / "c");
    plat::SetDriveRoot(p.string());
    return p.string();
  }();
  return root;
}

std::string HostPath(const std::string& windowsPath) {
  // Only "c:\..." paths are used by the targets; the drive letter becomes a folder.
  std::string rest = windowsPath.size() > 2 ? windowsPath.substr(2) : std::string();
  for (char& c : rest)
    if (c == '\\') c = '/';
  return ScratchRoot() + "/c" + rest;
}

std::vector<std::string> ListTree() {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(ScratchRoot(), ec), end; !ec && it != end;
       it.increment(ec)) {
    out.push_back(it->path().string());
  }
  return out;
}

void CheckContainedAndClear(const std::vector<std::string>& allowedHostFolders) {
  const std::string drive = ScratchRoot() + "/c";
  for (const std::string& path : ListTree()) {
    if (path == drive) continue;
    bool inside = false;
    for (const std::string& allowed : allowedHostFolders) {
      if (path == allowed || path.compare(0, allowed.size() + 1, allowed + "/") == 0) inside = true;
    }
    if (!inside) {
      std::fprintf(stderr, "written outside the destination: %s\n", path.c_str());
      std::abort();
    }
  }
  std::error_code ec;
  for (fs::directory_iterator it(drive, ec), end; !ec && it != end; it.increment(ec)) {
    fs::remove_all(it->path(), ec);
  }
}

std::vector<std::string> SplitVolumes(const std::uint8_t* data, std::size_t size) {
  const std::string all(reinterpret_cast<const char*>(data), size);
  const std::string sep(kVolumeSeparator, kVolumeSeparatorLength);
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = all.find(sep, start);
    if (at == std::string::npos) {
      parts.push_back(all.substr(start));
      return parts;
    }
    parts.push_back(all.substr(start, at - start));
    start = at + sep.size();
  }
}

}  // namespace fuzzing
