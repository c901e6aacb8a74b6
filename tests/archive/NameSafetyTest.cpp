// Which member names may be written: one table of accepted and refused names, and the paths a
// full-path restore puts below its destination.
#include <gtest/gtest.h>

#include "archive/NameSafety.h"

namespace {

struct NameCase {
  const char* name;
  bool safe;
  const char* why;
};

TEST(NameSafetyTest, FileNames) {
  const NameCase cases[] = {
      {"Lumidesk.exe", true, "an ordinary name"},
      {"a b.txt", true, "an inner blank"},
      {".profile", true, "a leading dot"},
      {"x..y", true, "inner dots"},
      {"citt\xE0.txt", true, "an accented letter"},
      {"CONSOLE.txt", true, "a device name only as a prefix"},
      {"COM10", true, "COM with two digits"},
      {"LPT0", true, "LPT0 is no device"},
      {"xcon", true, "a device name only as a suffix"},
      {"con_.txt", true, "CON followed by a character"},
      {"", false, "empty"},
      {".", false, "the folder itself"},
      {"..", false, "the parent"},
      {"...", false, "a trailing dot"},
      {"name.", false, "a trailing dot"},
      {"name ", false, "a trailing blank"},
      {". .", false, "dots and blanks"},
      {"a\tb", false, "a tab"},
      {"a\x01" "b", false, "a control character"},
      {"a\x1F" "b", false, "the last control character"},
      {"a*b", false, "an asterisk"},
      {"a?b", false, "a question mark"},
      {"a\"b", false, "a quote"},
      {"a<b", false, "less than"},
      {"a>b", false, "greater than"},
      {"a|b", false, "a bar"},
      {"a:b", false, "a colon (a stream or a drive)"},
      {"a/b", false, "a slash"},
      {"a\\b", false, "a backslash"},
      {"CON", false, "the console"},
      {"con", false, "the console, lower case"},
      {"Con.txt", false, "the console with an extension"},
      {"con .txt", false, "the console, blank before the extension"},
      {"PRN", false, "the printer"},
      {"aux.c", false, "the auxiliary device"},
      {"NUL.tar.gz", false, "the null device, two extensions"},
      {"COM1", false, "a serial port"},
      {"com9.log", false, "the last serial port"},
      {"LPT1", false, "a printer port"},
      {"lpt9", false, "the last printer port"},
      {"COM\xB9", false, "a serial port with a superscript digit"},
      {"LPT\xB2.txt", false, "a printer port with a superscript digit"},
      {"CONIN$", false, "the console input"},
      {"conout$.txt", false, "the console output"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(archive::IsSafeFileName(c.name), c.safe) << '"' << c.name << "\": " << c.why;
  }
}

TEST(NameSafetyTest, RelativePathsCheckEveryComponent) {
  const NameCase cases[] = {
      {"a\\b.txt", true, "two levels"},
      {"docs/letter.txt", true, "a slash separator"},
      {"a\\b\\c\\d.txt", true, "deep"},
      {"b.txt", true, "one level"},
      {"", false, "empty"},
      {"\\a.txt", false, "rooted"},
      {"/a.txt", false, "rooted with a slash"},
      {"d:\\a.txt", false, "a drive"},
      {"a\\..\\..\\x", false, "stepping out"},
      {"a/../x", false, "stepping out with slashes"},
      {"a\\.\\b", false, "a dot component"},
      {"a\\\\b", false, "an empty component"},
      {"a\\", false, "a trailing separator"},
      {"a\\CON\\b.txt", false, "a device as a folder"},
      {"a\\nul", false, "a device as the file"},
      {"a.\\b", false, "a folder with a trailing dot"},
      {"a \\b", false, "a folder with a trailing blank"},
      {"a\\b?.txt", false, "a wildcard"},
  };
  for (const NameCase& c : cases) {
    EXPECT_EQ(archive::IsSafeRelativePath(c.name), c.safe) << '"' << c.name << "\": " << c.why;
  }
}

TEST(NameSafetyTest, InsideAFolder) {
  struct Case {
    const char* path;
    const char* folder;
    bool inside;
    const char* why;
  } cases[] = {
      // Below the folder the relative path rules hold (RelativePathsCheckEveryComponent).
      {"c:\\d\\sub\\f.txt", "c:\\d\\", true, "a subfolder"},
      {"C:\\D\\f.txt", "c:\\d\\", true, "letter case aside"},
      {"c:\\d\\f.txt", "c:\\d", true, "a folder given without its separator"},
      {"c:\\d2\\f.txt", "c:\\d", false, "a folder whose name begins the same"},
      {"c:\\d\\", "c:\\d\\", false, "the folder itself"},
      {"c:\\d\\..\\f.txt", "c:\\d\\", false, "stepping out"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(archive::IsInsideFolder(c.path, c.folder), c.inside)
        << '"' << c.path << "\" in \"" << c.folder << "\": " << c.why;
  }
}

}  // namespace
