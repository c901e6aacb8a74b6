// What every file layer does alike, through Windows-style paths: streams, open failures,
// folders and listings, DOS date-times, names found whatever their letter case, renames that
// never replace, flushing, free space and the check for a file nobody holds.
#include "FileConformance.h"

#include <algorithm>
#include <cctype>

#include "platform/Error.h"

namespace filetest {

namespace {

using Names = std::vector<std::string>;

// A DOS date-time from its fields, which may lie outside their ranges (seconds in 2-second
// steps).
constexpr std::uint32_t Dos(unsigned year, unsigned month, unsigned day, unsigned hour,
                            unsigned minute, unsigned second) {
  return ((year - 1980) << 25) | (month << 21) | (day << 16) | (hour << 11) | (minute << 5) |
         (second / 2);
}

constexpr std::uint32_t kJuly2003 = Dos(2003, 7, 4, 8, 28, 32);

struct DosDateTimeRow {
  const char* what;
  std::uint32_t dos;
  bool possible;
};

const DosDateTimeRow kDosDateTimes[] = {
    {"the earliest", Dos(1980, 1, 1, 0, 0, 0), true},
    {"2000-01-15 09:30:08", Dos(2000, 1, 15, 9, 30, 8), true},
    {"2023-07-04 23:59:58", Dos(2023, 7, 4, 23, 59, 58), true},
    {"a leap day", Dos(2024, 2, 29, 12, 0, 0), true},
    {"the latest", Dos(2107, 12, 31, 23, 59, 58), true},
    {"month 0", Dos(2023, 0, 4, 0, 0, 0), false},
    {"month 13", Dos(2023, 13, 4, 0, 0, 0), false},
    {"day 0", Dos(2023, 7, 0, 0, 0, 0), false},
    // Windows refuses 29 February of a common year as well, but Wine takes it: no row.
    {"30 February", Dos(2024, 2, 30, 0, 0, 0), false},
    {"31 April", Dos(2023, 4, 31, 0, 0, 0), false},
    {"hour 24", Dos(2023, 7, 4, 24, 0, 0), false},
    {"minute 60", Dos(2023, 7, 4, 8, 60, 0), false},
    {"second 60", Dos(2023, 7, 4, 8, 28, 60), false},
};

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

}  // namespace

// --- Streams ---

TEST_P(FileConformance, CreateWriteSeekReadAndSize) {
  const std::string p = Path("f.bin");
  {
    auto f = fs.Create(p);
    f->WriteBuffer("hello world", 11);
    EXPECT_EQ(f->Size(), 11);
    f->SetPosition(6);
    char buf[5];
    f->ReadBuffer(buf, 5);
    EXPECT_EQ(std::string(buf, 5), "world");
  }
  EXPECT_TRUE(fs.FileExists(p));
  EXPECT_FALSE(fs.DirectoryExists(p));
  EXPECT_EQ(Read(p), "hello world");

  // Create truncates; OpenWrite keeps the content and starts at 0.
  Write(p, "abc");
  {
    auto f = fs.OpenWrite(p);
    EXPECT_EQ(f->Position(), 0);
    f->Seek(0, plat::Stream::Origin::End);
    f->WriteBuffer("de", 2);
  }
  EXPECT_EQ(Read(p), "abcde");
}

TEST_P(FileConformance, StreamsReadWriteSeekAndReportErrors) {
  const std::string path = Path("stream.bin");
  {
    auto stream = fs.Create(path);
    stream->WriteBuffer("0123456789", 10);
    EXPECT_EQ(stream->Seek(-4, plat::Stream::Origin::End), 6);
    stream->WriteBuffer("AB", 2);
    EXPECT_EQ(stream->Position(), 8);
    EXPECT_EQ(stream->Size(), 10);
  }
  auto reader = fs.OpenRead(path);
  char bytes[16] = {};
  EXPECT_EQ(reader->Read(bytes, 16), 10);
  EXPECT_STREQ(bytes, "012345AB89");
  EXPECT_EQ(reader->Read(bytes, 16), 0) << "at the end a read gives 0";
  reader->SetPosition(8);
  EXPECT_THROW(reader->ReadBuffer(bytes, 4), plat::StreamError) << "short read is an error";
  // Writing through a read-only stream fails and says on which file.
  try {
    reader->Write("z", 1);
    FAIL() << "wrote through a read-only stream";
  } catch (const plat::StreamError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
  reader.reset();
  EXPECT_EQ(Read(path), "012345AB89");
}

TEST_P(FileConformance, ReadOnlyOpenSharesWithWriters) {
  const std::string p = Path("shared.bin");
  Write(p, "1234");
  auto reader = fs.OpenRead(p);
  auto writer = fs.OpenWrite(p);
  auto second = fs.OpenRead(p);
  char c;
  EXPECT_EQ(second->Read(&c, 1), 1);
  EXPECT_EQ(reader->Size(), 4);
}

// The installation journal counts a record as written once Flush has said so.
TEST_P(FileConformance, FlushIsTrueOnceWrittenThrough) {
  const std::string p = Path("journal");
  auto created = fs.Create(p);
  created->WriteBuffer("record", 6);
  EXPECT_TRUE(created->Flush());
  EXPECT_EQ(Read(p), "record");
  created->WriteBuffer("+", 1);
  EXPECT_TRUE(created->Flush());
  created.reset();
  auto reopened = fs.OpenWrite(p);
  reopened->WriteBuffer("R", 1);
  EXPECT_TRUE(reopened->Flush());
  EXPECT_EQ(Read(p), "Record+");
  EXPECT_FALSE(fs.OpenRead(p)->Flush()) << "Windows flushes only a stream that may write";
}

TEST_P(FileConformance, OpenFailuresNameThePath) {
  using Open = std::unique_ptr<plat::FileStream> (plat::FileSystem::*)(const std::string&);
  const struct {
    const char* what;
    Open open;
    std::string path;
  } rows[] = {
      {"reading a missing file", &plat::FileSystem::OpenRead, Path("missing.bin")},
      {"writing a missing file", &plat::FileSystem::OpenWrite, Path("missing.bin")},
      {"creating in a missing folder", &plat::FileSystem::Create, Path("no\\such\\folder.bin")},
      {"reading a folder", &plat::FileSystem::OpenRead, Base()},
      {"writing a folder", &plat::FileSystem::OpenWrite, Base()},
      {"creating over a folder", &plat::FileSystem::Create, Base()},
  };
  for (const auto& row : rows) {
    try {
      (fs.*row.open)(row.path);
      ADD_FAILURE() << row.what << ": opened";
    } catch (const plat::Error& e) {
      EXPECT_NE(std::string(e.what()).find(row.path), std::string::npos)
          << row.what << ": " << e.what();
    }
  }
}

// --- Folders ---

TEST_P(FileConformance, FoldersOneLevelAChainRemovalAndListing) {
  EXPECT_FALSE(fs.CreateDir(Path("a\\b")));  // parent missing
  EXPECT_TRUE(fs.CreateDir(Path("a")));
  EXPECT_FALSE(fs.CreateDir(Path("a")));  // exists
  EXPECT_TRUE(fs.ForceDirectories(Path("x\\y\\z\\")));
  EXPECT_TRUE(fs.ForceDirectories(Path("x\\y\\z")));  // already there
  EXPECT_TRUE(fs.DirectoryExists(Path("x\\y\\z")));
  Write(Path("x\\file"), "f");
  EXPECT_FALSE(fs.ForceDirectories(Path("x\\file\\sub")));  // a file is in the way
  EXPECT_FALSE(fs.CreateDir(Path("x\\file")));
  EXPECT_FALSE(fs.ForceDirectories(""));

  EXPECT_FALSE(fs.RemoveDir(Path("x\\y")));  // not empty
  EXPECT_TRUE(fs.RemoveDir(Path("x\\y\\z")));
  EXPECT_FALSE(fs.RemoveDir(Path("x\\file")));  // a file is not removed as a folder
  EXPECT_FALSE(fs.DeleteFile(Path("x\\y")));    // nor a folder deleted as a file
  EXPECT_TRUE(fs.DeleteFile(Path("x\\file")));
  EXPECT_FALSE(fs.DeleteFile(Path("x\\file")));
  EXPECT_EQ(Listing(Path("x")), Names{"y/"});
  EXPECT_TRUE(fs.ListDirectory(Path("nothing")).empty());
}

TEST_P(FileConformance, FoldersAndListings) {
  ASSERT_TRUE(fs.ForceDirectories(Path("a\\b")));
  Write(Path("a\\zeta.txt"), "z");
  Write(Path("a\\Alpha.txt"), "a");
  Write(Path("a\\\xE8.txt"), "e");  // a Windows-1252 name sorts after ASCII, byte-wise
  EXPECT_TRUE(fs.FileExists(Path("a\\zeta.txt")));
  EXPECT_FALSE(fs.DirectoryExists(Path("a\\zeta.txt")));
  EXPECT_FALSE(fs.FileExists(Path("a\\b")));
  EXPECT_TRUE(fs.DirectoryExists(Path("a\\b")));
  EXPECT_EQ(Listing(Path("a")), (Names{"Alpha.txt", "b/", "zeta.txt", "\xE8.txt"}));
  EXPECT_FALSE(fs.FileExists(""));
  EXPECT_FALSE(fs.DirectoryExists(""));
}

// --- DOS date-times: local time in 2-second steps, and only moments that exist ---

TEST_P(FileConformance, DosDateTimeRoundTripsThroughTheFile) {
  const std::string p = Path("dated.txt");
  {
    auto f = fs.Create(p);
    f->WriteBuffer("x", 1);
    EXPECT_TRUE(f->SetDosDateTime(kJuly2003));
  }
  EXPECT_EQ(fs.FileAge(p), static_cast<std::int32_t>(kJuly2003));
  const std::uint32_t late = Dos(2024, 11, 22, 17, 54, 4);
  {
    auto f = fs.OpenWrite(p);
    EXPECT_TRUE(f->SetDosDateTime(late));
  }
  EXPECT_EQ(fs.FileAge(p), static_cast<std::int32_t>(late));
  EXPECT_EQ(fs.FileAge(Path("absent")), -1);
  EXPECT_EQ(fs.FileAge(Base()), -1) << "a folder has no file age";
}

TEST_P(FileConformance, DosDateTimesRoundTrip) {
  for (const DosDateTimeRow& row : kDosDateTimes) {
    if (!row.possible) continue;
    const std::string p = Path("dated.txt");
    {
      auto f = fs.Create(p);
      f->WriteBuffer("x", 1);
      EXPECT_TRUE(f->SetDosDateTime(static_cast<std::int32_t>(row.dos))) << row.what;
    }
    EXPECT_EQ(static_cast<std::uint32_t>(fs.FileAge(p)), row.dos) << row.what;
  }
}

TEST_P(FileConformance, ImpossibleDosDateTimesAreRefused) {
  const std::string p = Path("dated.txt");
  {
    auto f = fs.Create(p);
    EXPECT_TRUE(f->SetDosDateTime(kJuly2003));
  }
  for (const DosDateTimeRow& row : kDosDateTimes) {
    if (row.possible) continue;
    {
      auto f = fs.OpenWrite(p);
      EXPECT_FALSE(f->SetDosDateTime(static_cast<std::int32_t>(row.dos))) << row.what;
    }
    EXPECT_EQ(static_cast<std::uint32_t>(fs.FileAge(p)), kJuly2003) << row.what;
  }
}

// --- Names found whatever their letter case: an entry made as "prog\lumidesk.exe" is the same
// entry as "PROG\Lumidesk.EXE" for every operation, and creating it again under another
// spelling reuses it ---

TEST_P(FileConformance, LookupsFindEntriesSpelledInAnotherCase) {
  MakeProgramTree();
  EXPECT_TRUE(fs.FileExists(Path("PROG\\Lumidesk.EXE")));
  EXPECT_FALSE(fs.DirectoryExists(Path("PROG\\Lumidesk.EXE")));
  EXPECT_TRUE(fs.DirectoryExists(Path("Prog\\MODELLI")));
  EXPECT_FALSE(fs.FileExists(Path("Prog\\MODELLI")));
  EXPECT_EQ(Read(Path("Prog\\Modelli\\FATTURA.rvf")), "template");
  EXPECT_EQ(fs.FileAge(Path("PROG\\LUMIDESK.EXE")), fs.FileAge(Path("prog\\lumidesk.exe")));
  EXPECT_NE(fs.FileAge(Path("PROG\\LUMIDESK.EXE")), -1);
  // The listing gives the names as stored, whatever spelling named the folder.
  EXPECT_EQ(Listing(Path("PROG")), (Names{"lumidesk.exe", "modelli/"}));
  // The whole path, drive and scratch folder included, in capitals.
  EXPECT_TRUE(fs.FileExists(Upper(Path("prog\\modelli\\fattura.rvf"))));
  // A name that differs by more than case is still a different name.
  EXPECT_FALSE(fs.FileExists(Path("prog\\lumidesk.ex")));
  EXPECT_FALSE(fs.FileExists(Path("prog\\lumidesk.exe.bak")));
  EXPECT_THROW(fs.OpenRead(Path("PROG\\nothing.exe")), plat::Error);
}

TEST_P(FileConformance, WritingUnderAnotherSpellingReusesTheEntry) {
  MakeProgramTree();
  Write(Path("Prog\\LUMIDESK.exe"), "new");
  EXPECT_EQ(Read(Path("prog\\lumidesk.exe")), "new");  // truncated, not appended
  {
    auto f = fs.OpenWrite(Path("PROG\\Lumidesk.Exe"));
    f->WriteBuffer("N", 1);
  }
  EXPECT_EQ(Read(Path("prog\\lumidesk.exe")), "New");
  // Still one entry, under its first spelling.
  EXPECT_EQ(Listing(Path("prog")), (Names{"lumidesk.exe", "modelli/"}));
  // Making a folder that exists in another case succeeds and adds nothing.
  EXPECT_TRUE(fs.ForceDirectories(Path("PROG\\Modelli")));
  EXPECT_FALSE(fs.CreateDir(Path("PROG\\Modelli")));
  EXPECT_EQ(Listing(Base()), Names{"prog/"});
}

TEST_P(FileConformance, NewNamesKeepTheSpellingGivenBelowExistingFolders) {
  MakeProgramTree();
  ASSERT_TRUE(fs.ForceDirectories(Path("PROG\\Modelli\\Nuovi\\RTF")));
  EXPECT_EQ(Listing(Path("prog\\modelli")), (Names{"Nuovi/", "fattura.rvf"}));
  EXPECT_EQ(Listing(Path("prog\\modelli\\nuovi")), Names{"RTF/"});
  Write(Path("PROG\\Leggimi.TXT"), "readme");
  EXPECT_EQ(Listing(Path("prog")), (Names{"Leggimi.TXT", "lumidesk.exe", "modelli/"}));
  EXPECT_EQ(Read(Path("prog\\leggimi.txt")), "readme");
}

TEST_P(FileConformance, RemovalFindsEntriesSpelledInAnotherCase) {
  MakeProgramTree();
  EXPECT_TRUE(fs.DeleteFile(Path("PROG\\Lumidesk.EXE")));
  EXPECT_FALSE(fs.FileExists(Path("prog\\lumidesk.exe")));
  EXPECT_FALSE(fs.DeleteFile(Path("PROG\\Lumidesk.EXE")));
  EXPECT_FALSE(fs.RemoveDir(Path("Prog\\Modelli")));  // not empty yet
  EXPECT_TRUE(fs.DeleteFile(Path("Prog\\Modelli\\Fattura.RVF")));
  EXPECT_TRUE(fs.RemoveDir(Path("Prog\\Modelli")));
  EXPECT_TRUE(fs.RemoveDir(Path("PROG")));
  EXPECT_TRUE(fs.ListDirectory(Base()).empty());
}

TEST_P(FileConformance, AccentedLettersOfTheCodePageMatchTheirCapitals) {
  ASSERT_TRUE(fs.CreateDir(Path("prog")));
  Write(Path("prog\\citt\xE0.txt"), "a");  // a grave
  Write(Path("prog\\\xE9tude.txt"), "e");  // e acute
  EXPECT_EQ(Read(Path("PROG\\CITT\xC0.TXT")), "a");
  EXPECT_EQ(Read(Path("Prog\\\xC9TUDE.txt")), "e");
  // A plain letter does not match its accented form.
  EXPECT_FALSE(fs.FileExists(Path("prog\\citta.txt")));
  EXPECT_FALSE(fs.FileExists(Path("prog\\etude.txt")));
}

// --- Renames: members are written beside their targets and renamed into place ---

TEST_P(FileConformance, RenameNeverReplaces) {
  const Names untouched{"a.txt", "dir/", "taken.txt"};
  const struct {
    const char* what;
    const char* from;
    const char* to;
    bool renamed;
    Names after;
  } rows[] = {
      {"to a free name", "a.txt", "b.txt", true, {"b.txt", "dir/", "taken.txt"}},
      {"into a folder below", "a.txt", "dir\\a.txt", true, {"dir/", "taken.txt"}},
      {"from a name in other letters", "A.TXT", "b.txt", true, {"b.txt", "dir/", "taken.txt"}},
      // A new spelling of the file's own name is no other entry: Windows renames the file, and
      // lists it under the new spelling where Wine keeps the old one.
      {"to its own name in other letters", "a.txt", "A.Txt", true, {"A.Txt", "dir/", "taken.txt"}},
      {"to its own name", "a.txt", "a.txt", true, untouched},
      {"onto a file", "a.txt", "taken.txt", false, untouched},
      {"onto a file named in other letters", "a.txt", "TAKEN.txt", false, untouched},
      {"onto a folder", "a.txt", "dir", false, untouched},
      {"into a missing folder", "a.txt", "none\\a.txt", false, untouched},
      {"from a missing file", "gone.txt", "b.txt", false, untouched},
      {"from a folder", "dir", "moved", false, untouched},
  };
  // Listings are compared without regard to case, for Wine's sake (above).
  const auto caseBlind = [](Names names) {
    for (std::string& name : names) name = Upper(name);
    return names;
  };
  int n = 0;
  for (const auto& row : rows) {
    const std::string folder = Path("row" + std::to_string(++n)) + "\\";
    ASSERT_TRUE(fs.ForceDirectories(folder + "dir"));
    Write(folder + "a.txt", "A");
    Write(folder + "taken.txt", "T");
    EXPECT_EQ(fs.RenameFile(folder + row.from, folder + row.to), row.renamed) << row.what;
    EXPECT_EQ(caseBlind(Listing(folder)), caseBlind(row.after)) << row.what;
    EXPECT_EQ(Read(folder + (row.renamed ? row.to : "a.txt")), "A") << row.what;
    EXPECT_EQ(Read(folder + "taken.txt"), "T") << row.what;
  }
}

// --- What the installer checks before it writes anything ---

TEST_P(FileConformance, FreeSpaceIsPositiveForAFolderAndUnknownElsewhere) {
  ASSERT_TRUE(fs.ForceDirectories(Path("deep\\er")));
  Write(Path("deep\\file"), "f");
  for (const std::string& folder :
       {Base(), Path("deep\\er"), Path("deep\\er\\"), std::string("c:\\")}) {
    EXPECT_GT(fs.FreeSpace(folder), 0) << folder;
  }
  for (const std::string& none : {Path("missing"), Path("deep\\file"), std::string()}) {
    EXPECT_EQ(fs.FreeSpace(none), -1) << "no folder: " << none;
  }
}

TEST_P(FileConformance, CanOpenExclusiveOnlyAFileNobodyHolds) {
  Write(Path("free.bin"), "free");
  EXPECT_TRUE(fs.CanOpenExclusive(Path("free.bin")));
  EXPECT_TRUE(fs.CanOpenExclusive(Path("FREE.BIN")));
  EXPECT_EQ(Read(Path("free.bin")), "free") << "asking changes nothing";
  EXPECT_FALSE(fs.CanOpenExclusive(Path("missing.bin")));
  EXPECT_FALSE(fs.CanOpenExclusive(Base())) << "a folder";
  EXPECT_FALSE(fs.CanOpenExclusive(""));
}

}  // namespace filetest
