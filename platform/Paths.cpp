// Path helpers with Windows semantics: "\" separates folders, "X:" names a drive. They work on
// the text alone and behave the same on every target.
#include <string>

#include "platform/Files.h"

namespace plat {

namespace {
// Index just after the last "\" or ":", 0 when there is none.
std::size_t FileNameStart(const std::string& path) {
  const std::size_t sep = path.find_last_of("\\:");
  return sep == std::string::npos ? 0 : sep + 1;
}
}  // namespace

std::string ExtractFilePath(const std::string& path) { return path.substr(0, FileNameStart(path)); }

std::string ExtractFileName(const std::string& path) { return path.substr(FileNameStart(path)); }

std::string ExcludeTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
  return path;
}

std::string IncludeTrailingBackslash(const std::string& path) {
  if (!path.empty() && path.back() == '\\') return path;
  return path + '\\';
}

std::string ParentFolder(const std::string& path) {
  const std::string folder = ExcludeTrailingBackslash(path);
  const std::string parent = ExcludeTrailingBackslash(ExtractFilePath(folder));
  return parent.size() < folder.size() ? parent : std::string();
}

bool IsFullPath(const std::string& path) {
  const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  if (path.size() >= 3 && letter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
  if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return false;
  const std::size_t serverEnd = path.find('\\', 2);
  if (serverEnd == std::string::npos || serverEnd == 2) return false;
  const std::string server = path.substr(2, serverEnd - 2);
  // "\\.\" and "\\?\" open Windows's device and raw-path namespaces, not a share.
  if (server == "." || server == "?") return false;
  const std::size_t shareStart = serverEnd + 1;
  const std::size_t shareEnd = path.find('\\', shareStart);
  return (shareEnd == std::string::npos ? path.size() : shareEnd) > shareStart;
}

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  const std::size_t dot = path.find_last_of(".\\/:");
  if (dot == std::string::npos || path[dot] != '.') return path + ext;
  return path.substr(0, dot) + ext;
}

}  // namespace plat
