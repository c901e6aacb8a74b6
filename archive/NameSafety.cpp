// The Windows name rules, spelled out once.
#include "archive/NameSafety.h"

#include <cstddef>

namespace archive {

namespace {

constexpr char kForbiddenCharacters[] = "\\/:*?\"<>|";

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

bool IsSafeRelativePath(const std::string& relative) {
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = relative.find_first_of("\\/", start);
    const std::size_t length = end == std::string::npos ? relative.size() - start : end - start;
    // A leading separator gives an empty first component, a drive a ":": both refused here.
    if (!IsSafeFileName(relative.substr(start, length))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  if (folder.empty() || path.size() <= folder.size()) return false;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    if (AsciiUpper(path[i]) != AsciiUpper(folder[i])) return false;
  }
  std::size_t rest = folder.size();
  // "c:\dest" must not take in "c:\dest2\x": a folder without a separator of its own needs one
  // in the path.
  if (folder.back() != '\\' && folder.back() != '/') {
    if (path[rest] != '\\' && path[rest] != '/') return false;
    ++rest;
  }
  return IsSafeRelativePath(path.substr(rest));
}

}  // namespace archive
