// The target of a member and the Windows name rules, spelled out once.
#include "archive/NameSafety.h"

#include <cstddef>

#include "platform/Files.h"

namespace archive {

namespace {

constexpr char kForbiddenCharacters[] = "\\/:*?\"<>|";
// Characters of a stored name taken off under a full-path restore: drive letter, colon, backslash.
constexpr std::size_t kDrivePrefixLength = 3;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Windows reserves these device names in every folder. COM and LPT also take the superscript
// digits 1, 2 and 3 of the ANSI code page.
bool IsDeviceName(const std::string& name) {
  // The device is the part before the first dot, trailing blanks ignored: "con .txt" opens
  // the console too.
  std::size_t end = name.find('.');
  if (end == std::string::npos) end = name.size();
  while (end > 0 && name[end - 1] == ' ') --end;
  std::string base;
  for (std::size_t i = 0; i < end; ++i) base += AsciiUpper(name[i]);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (base == device) return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0)) {
    const unsigned char digit = static_cast<unsigned char>(base[3]);
    return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
  }
  return false;
}

}  // namespace

bool IsSafeFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  const char last = name.back();
  if (last == '.' || last == ' ') return false;
  for (char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) return false;
    for (const char* f = kForbiddenCharacters; *f != '\0'; ++f) {
      if (c == *f) return false;
    }
  }
  return !IsDeviceName(name);
}

std::string PathBelowDestination(const std::string& memberName, bool fullPath) {
  if (!fullPath) return plat::ExtractFileName(memberName);
  return memberName.size() > kDrivePrefixLength ? memberName.substr(kDrivePrefixLength)
                                                : std::string();
}

std::string RestoreTarget(const std::string& memberName, const std::string& destination,
                          bool fullPath) {
  if (destination.empty()) return memberName;
  return destination + PathBelowDestination(memberName, fullPath);
}

PathFault CheckRelativePath(const std::string& relative) {
  if (relative.empty() || IsSeparator(relative[0]) || relative.find(':') != std::string::npos) {
    return PathFault::kLeadsOut;
  }
  PathFault fault = PathFault::kNone;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = relative.find_first_of("\\/", start);
    const std::size_t length = end == std::string::npos ? relative.size() - start : end - start;
    const std::string component = relative.substr(start, length);
    // A ".." anywhere leads out, whatever comes before it.
    if (component == "..") return PathFault::kLeadsOut;
    if (!IsSafeFileName(component)) fault = PathFault::kUnsafeName;
    if (end == std::string::npos) return fault;
    start = end + 1;
  }
}

bool IsSafeRelativePath(const std::string& relative) {
  return CheckRelativePath(relative) == PathFault::kNone;
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  if (folder.empty() || path.size() <= folder.size()) return false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    if (AsciiUpper(path[i]) != AsciiUpper(folder[i])) return false;
  }
  std::size_t rest = folder.size();
  // "c:\dest" must not take in "c:\dest2\x": a folder without a separator of its own needs one
  // in the path.
  if (!IsSeparator(folder.back())) {
    if (!IsSeparator(path[rest])) return false;
    ++rest;
  }
  return IsSafeRelativePath(path.substr(rest));
}

}  // namespace archive
