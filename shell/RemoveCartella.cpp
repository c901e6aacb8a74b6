// TMyShortCut::RemoveCartella: removes the listed files of an installation and its folder.
#include <exception>

#include "platform/Error.h"
#include "platform/gui/ExtControls.h"
#include "shell/ShortCut.h"

namespace shell {

namespace {

// A folder named from the root ("c:\...", "\\server\...", "\..."). Anything else is taken
// relative to the process's current folder, which is no installation folder.
bool IsRootedFolder(const std::string& folder) {
  if (folder.empty()) return false;
  if (folder[0] == '\\') return true;
  const char c = folder[0];
  const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  return folder.size() >= 3 && letter && folder[1] == ':' && folder[2] == '\\';
}

}  // namespace

void TMyShortCut::RemoveCartella(const std::string& path, gui::TProgressBar* bar) {
  const std::string folder = plat::ExtractFilePath(path);
  const bool rooted = IsRootedFolder(folder);
  for (std::size_t i = 0; i < listafile_.size(); ++i) {
    try {
      const std::string name = folder + listafile_[i];
      if (bar) bar->SetPosition(bar->Position() + 1);
      if (rooted && files_.FileExists(name)) files_.DeleteFile(name);
    } catch (const std::exception&) {
      throw plat::Error(kRemoveCartellaError);
    }
  }
  if (rooted) files_.RemoveDir(plat::ExcludeTrailingBackslash(folder));
}

}  // namespace shell
