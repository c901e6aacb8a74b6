// Path helpers with Windows semantics, and the code page's letter case.
#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/Files.h"

namespace {

struct PathCase {
  const char* path;
  const char* filePath;
  const char* fileName;
};

TEST(PathHelpers, SplitAtTheLastBackslashOrColon) {
  const PathCase cases[] = {
      {"c:\\a\\b.txt", "c:\\a\\", "b.txt"},
      {"c:b.txt", "c:", "b.txt"},
      {"b.txt", "", "b.txt"},
      {"c:\\a\\", "c:\\a\\", ""},
      {"FILE:LIST", "FILE:", "LIST"},
      {"", "", ""},
  };
  for (const PathCase& c : cases) {
    EXPECT_EQ(plat::ExtractFilePath(c.path), c.filePath) << c.path;
    EXPECT_EQ(plat::ExtractFileName(c.path), c.fileName) << c.path;
  }
}

TEST(PathHelpers, TrailingBackslash) {
  EXPECT_EQ(plat::IncludeTrailingBackslash("d:\\x"), "d:\\x\\");
  EXPECT_EQ(plat::IncludeTrailingBackslash("d:\\x\\"), "d:\\x\\");
  EXPECT_EQ(plat::ExcludeTrailingBackslash("d:\\x\\"), "d:\\x");
  EXPECT_EQ(plat::ExcludeTrailingBackslash("d:\\x"), "d:\\x");
  EXPECT_EQ(plat::ExcludeTrailingBackslash(""), "");
}

TEST(PathHelpers, ChangeFileExtReplacesOnlyTheNamesExtension) {
  EXPECT_EQ(plat::ChangeFileExt("c:\\out\\setup.lpk", ".002"), "c:\\out\\setup.002");
  EXPECT_EQ(plat::ChangeFileExt("c:\\out\\setup.002", ".003"), "c:\\out\\setup.003");
  EXPECT_EQ(plat::ChangeFileExt("c:\\out.d\\setup", ".002"), "c:\\out.d\\setup.002");
  EXPECT_EQ(plat::ChangeFileExt("/tmp/x.d/setup", ".002"), "/tmp/x.d/setup.002");
  EXPECT_EQ(plat::ChangeFileExt("a.b.c", ".x"), "a.b.x");
}

// A destination must not depend on the process's current drive or folder.
TEST(PathHelpers, FullPathsNameADriveOrAShare) {
  const struct {
    const char* path;
    bool full;
  } cases[] = {
      {"c:\\programmi\\nortavia\\Lumidesk", true},
      {"Z:\\", true},
      {"\\\\server\\share", true},
      {"\\\\server\\share\\Lumidesk", true},
      {"", false},
      {"Lumidesk", false},
      {"programmi\\Lumidesk", false},
      {"c:", false},
      {"c:programmi", false},  // relative to drive c:'s current folder
      {"\\programmi", false},  // the current drive's root
      {"1:\\x", false},
      {" c:\\x", false},
      {"c:/programmi", false},
      {"//server/share", false},
      {"\\\\", false},
      {"\\\\server", false},
      {"\\\\server\\", false},
      {"\\\\\\share", false},
      {"\\\\.\\c:\\x", false},
      {"\\\\?\\c:\\x", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(plat::IsFullPath(c.path), c.full) << "\"" << c.path << "\"";
}

TEST(CodePage, AnsiUpperCaseCoversTheAccentedLettersOfTheCodePage) {
  EXPECT_EQ(plat::AnsiUpperCase("lumidesk.exe"), "LUMIDESK.EXE");
  EXPECT_EQ(plat::AnsiUpperCase("citt\xE0 \xE8\xF9"), "CITT\xC0 \xC8\xD9");
  EXPECT_EQ(plat::AnsiUpperCase("\xF7\xFF\x9A\xDF"), "\xF7\x9F\x8A\xDF");
}

}  // namespace
