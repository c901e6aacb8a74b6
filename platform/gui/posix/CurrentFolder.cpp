// The process's current folder on POSIX, seen through the drive-root mapping of the file layer.
#include <unistd.h>

#include <string>

#include "platform/Files.h"
#include "platform/gui/FileControls.h"

namespace gui {

std::string ProcessCurrentFolder() {
  std::string cwd;
  char buf[4096];
  if (getcwd(buf, sizeof buf)) cwd = buf;
  std::string root = plat::DriveRoot();
  while (root.size() > 1 && root.back() == '/') root.pop_back();
  // <root>/x[/rest] is the folder x:\rest.
  if (!root.empty() && !cwd.empty() && cwd.size() >= root.size() + 2 &&
      cwd.compare(0, root.size(), root) == 0 && cwd[root.size()] == '/') {
    const std::string rest = cwd.substr(root.size() + 1);
    const std::size_t slash = rest.find('/');
    const std::string letter = rest.substr(0, slash);
    if (letter.size() == 1) {
      std::string out = letter + ":\\";
      if (slash != std::string::npos) {
        std::string tail = rest.substr(slash + 1);
        for (char& c : tail)
          if (c == '/') c = '\\';
        out += tail;
      }
      return out;
    }
  }
  const auto drives = plat::DriveList();
  return drives.empty() ? std::string("c:\\") : drives.front();
}

}  // namespace gui
