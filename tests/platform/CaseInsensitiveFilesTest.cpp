// File names are found whatever their letter case, as on Windows: an entry made as
// "prog\lumidesk.exe" is the same entry as "PROG\Lumidesk.EXE" for every operation, and
// creating it again under another spelling reuses it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Files.h"
#include "support/ScratchDrive.h"

namespace {

using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

std::vector<std::string> Names(const std::vector<plat::DirEntry>& entries) {
  std::vector<std::string> names;
  for (const plat::DirEntry& e : entries) names.push_back(e.name);
  return names;
}

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

class CaseInsensitiveFilesTest : public testsupport::ScratchDriveTest {
 protected:
  plat::FileSystem& fs = plat::RealFileSystem();

  void SetUp() override {
    ASSERT_TRUE(fs.ForceDirectories(Path("prog\\modelli")));
    WriteWholeFile(Path("prog\\lumidesk.exe"), "program");
    WriteWholeFile(Path("prog\\modelli\\fattura.rvf"), "template");
  }
};

TEST_F(CaseInsensitiveFilesTest, LookupsFindEntriesSpelledInAnotherCase) {
  EXPECT_TRUE(fs.FileExists(Path("PROG\\Lumidesk.EXE")));
  EXPECT_FALSE(fs.DirectoryExists(Path("PROG\\Lumidesk.EXE")));
  EXPECT_TRUE(fs.DirectoryExists(Path("Prog\\MODELLI")));
  EXPECT_FALSE(fs.FileExists(Path("Prog\\MODELLI")));
  EXPECT_EQ(ReadWholeFile(Path("Prog\\Modelli\\FATTURA.rvf")), "template");
  EXPECT_EQ(fs.FileAge(Path("PROG\\LUMIDESK.EXE")), fs.FileAge(Path("prog\\lumidesk.exe")));
  EXPECT_NE(fs.FileAge(Path("PROG\\LUMIDESK.EXE")), -1);
  // The listing gives the names as stored, whatever spelling named the folder.
  EXPECT_EQ(Names(fs.ListDirectory(Path("PROG"))),
            (std::vector<std::string>{"lumidesk.exe", "modelli"}));
  // The whole path, drive and scratch folder included, in capitals.
  EXPECT_TRUE(fs.FileExists(Upper(Path("prog\\modelli\\fattura.rvf"))));
  // A name that differs by more than case is still a different name.
  EXPECT_FALSE(fs.FileExists(Path("prog\\lumidesk.ex")));
  EXPECT_FALSE(fs.FileExists(Path("prog\\lumidesk.exe.bak")));
  EXPECT_THROW(fs.OpenRead(Path("PROG\\nothing.exe")), plat::Error);
}

TEST_F(CaseInsensitiveFilesTest, WritingUnderAnotherSpellingReusesTheEntry) {
  {
    auto f = fs.Create(Path("Prog\\LUMIDESK.exe"));
    f->WriteBuffer("new", 3);
  }
  EXPECT_EQ(ReadWholeFile(Path("prog\\lumidesk.exe")), "new");  // truncated, not appended
  {
    auto f = fs.OpenWrite(Path("PROG\\Lumidesk.Exe"));
    f->WriteBuffer("N", 1);
  }
  EXPECT_EQ(ReadWholeFile(Path("prog\\lumidesk.exe")), "New");
  // Still one entry, under its first spelling.
  EXPECT_EQ(Names(fs.ListDirectory(Path("prog"))),
            (std::vector<std::string>{"lumidesk.exe", "modelli"}));
  // Making a folder that exists in another case succeeds and adds nothing.
  EXPECT_TRUE(fs.ForceDirectories(Path("PROG\\Modelli")));
  EXPECT_FALSE(fs.CreateDir(Path("PROG\\Modelli")));
  EXPECT_EQ(Names(fs.ListDirectory(Base())), (std::vector<std::string>{"prog"}));
}

TEST_F(CaseInsensitiveFilesTest, NewNamesKeepTheSpellingGivenBelowExistingFolders) {
  ASSERT_TRUE(fs.ForceDirectories(Path("PROG\\Modelli\\Nuovi\\RTF")));
  EXPECT_EQ(Names(fs.ListDirectory(Path("prog\\modelli"))),
            (std::vector<std::string>{"Nuovi", "fattura.rvf"}));
  EXPECT_EQ(Names(fs.ListDirectory(Path("prog\\modelli\\nuovi"))),
            (std::vector<std::string>{"RTF"}));
  WriteWholeFile(Path("PROG\\Leggimi.TXT"), "readme");
  EXPECT_EQ(Names(fs.ListDirectory(Path("prog"))),
            (std::vector<std::string>{"Leggimi.TXT", "lumidesk.exe", "modelli"}));
  EXPECT_EQ(ReadWholeFile(Path("prog\\leggimi.txt")), "readme");
}

TEST_F(CaseInsensitiveFilesTest, RemovalFindsEntriesSpelledInAnotherCase) {
  EXPECT_TRUE(fs.DeleteFile(Path("PROG\\Lumidesk.EXE")));
  EXPECT_FALSE(fs.FileExists(Path("prog\\lumidesk.exe")));
  EXPECT_FALSE(fs.DeleteFile(Path("PROG\\Lumidesk.EXE")));
  EXPECT_FALSE(fs.RemoveDir(Path("Prog\\Modelli")));  // not empty yet
  EXPECT_TRUE(fs.DeleteFile(Path("Prog\\Modelli\\Fattura.RVF")));
  EXPECT_TRUE(fs.RemoveDir(Path("Prog\\Modelli")));
  EXPECT_TRUE(fs.RemoveDir(Path("PROG")));
  EXPECT_TRUE(fs.ListDirectory(Base()).empty());
}

TEST_F(CaseInsensitiveFilesTest, AccentedLettersOfTheCodePageMatchTheirCapitals) {
  WriteWholeFile(Path("prog\\citt\xE0.txt"), "a");       // a grave
  WriteWholeFile(Path("prog\\\xE9tude.txt"), "e");       // e acute
  EXPECT_EQ(ReadWholeFile(Path("PROG\\CITT\xC0.TXT")), "a");
  EXPECT_EQ(ReadWholeFile(Path("Prog\\\xC9TUDE.txt")), "e");
  // A plain letter does not match its accented form.
  EXPECT_FALSE(fs.FileExists(Path("prog\\citta.txt")));
  EXPECT_FALSE(fs.FileExists(Path("prog\\etude.txt")));
}

}  // namespace
