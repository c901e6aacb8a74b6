// Damage inside one volume: the archive header, the member heads, the catalogue, the blocks and
// the end markers, as the restore, the installer's check and lumipack meet it. The restore is
// lenient where the data come out right, the walk behind the check and lumipack verify holds the
// archive to every rule; the table of format faults shows which faults each of them refuses.
#include <gtest/gtest.h>

#include "DamageFixtures.h"
#include "support/ArchiveMap.h"
#include "support/FaultFileSystem.h"
#include "support/MessageBoxRecorder.h"

namespace robust {
namespace {

using namespace testsupport;
using archive::TBackupFile;
using testsupport::Lumipack;

TEST_F(DamageTest, CatalogueReadOfMissingUnopenableAndDamagedArchives) {
  testsupport::MessageBoxRecorder boxes;
  archive::TStringList list = {"kept"};
  std::string title = "x";
  TBackupFile plain;
  plain.ReadFileList(Path("missing.lpk"), &list, title);
  EXPECT_EQ(title, "");
  EXPECT_EQ(list, archive::TStringList{"kept"});
  EXPECT_TRUE(boxes.Boxes().empty());

  const std::string good = Save(Build({Member("c:\\a", "a")}, [] {
    archive::WriterOptions o;
    o.title = "3.0.0.3";
    return o;
  }()));
  testsupport::FaultFileSystem faulty;
  faulty.FailAt(1);
  TBackupFile bf(nullptr, faulty);
  EXPECT_THROW(bf.ReadFileList(good, &list, title), plat::SilentAbort);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Cannot read archive");
  EXPECT_EQ(bf.ErrorCode(), 3);

  // Cut after the title: the title is handed over, then "Invalid archive type".
  const std::string bytes = ReadWholeFile(good);
  for (std::size_t cut : {std::size_t{2}, std::size_t{13}, std::size_t{20}, std::size_t{40}}) {
    boxes.Clear();
    plat::MemoryStream s(Bytes(bytes.substr(0, cut)));
    std::string t;
    TBackupFile reader;
    reader.ReadFileListFromStream(&s, &list, t);
    ASSERT_EQ(boxes.Boxes().size(), 1u) << cut;
    EXPECT_EQ(boxes.Boxes()[0].text, "Invalid archive type");
    EXPECT_EQ(t, cut >= 11 ? "3.0.0.3" : "") << cut;
  }

  // A wrong catalogue signature is reported the same way.
  std::string badSignature = bytes;
  badSignature[11 + 8 + 4 + 9 + 4] = 'X';
  plat::MemoryStream s(Bytes(badSignature));
  boxes.Clear();
  std::string t;
  plain.ReadFileListFromStream(&s, &list, t);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Invalid archive type");
}

TEST_F(DamageTest, RestoreOfMissingUnopenableAndHeaderlessArchives) {
  testsupport::MessageBoxRecorder boxes;
  Outcome missing = RunRestore(Path("missing.lpk"), Path("d"));
  EXPECT_FALSE(missing.result);
  EXPECT_FALSE(missing.threw);
  EXPECT_TRUE(missing.log.progress.empty());
  EXPECT_TRUE(missing.log.errors.empty());

  const std::string good = Save(Build({Member("c:\\a", "a")}));
  testsupport::FaultFileSystem faulty;
  faulty.FailAt(1);
  TBackupFile bf(nullptr, faulty);
  try {
    bf.Restore(good, Path("d"));
    FAIL();
  } catch (const plat::Error& e) {
    EXPECT_STREQ(e.what(), "Cannot read archive");
  }

  const std::string headerless = Save(Bytes("\x05\0\0\0ab"), "short.lpk");
  TBackupFile reader;
  try {
    reader.Restore(headerless, Path("d"));
    FAIL();
  } catch (const plat::Error& e) {
    EXPECT_STREQ(e.what(), "Cannot read archive");
  }
  plat::MemoryStream s(Bytes("\x05\0\0\0ab"));
  EXPECT_FALSE(reader.RestoreFromStream(&s, Path("d")));
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DamageTest, DamagedTitleOrNameLengthNeverAllocatesWhatTheFileCannotHold) {
  testsupport::MessageBoxRecorder boxes;
  for (std::int32_t length : {0x7FFFFFFF, 0x40000000, 100, -5}) {
    plat::MemoryStream s(ArchiveBytes().Int(length).Raw(std::string(20, 'x')).b);
    TBackupFile bf;
    std::string title = "x";
    archive::TStringList list;
    bf.ReadFileListFromStream(&s, &list, title);
    EXPECT_EQ(title, "") << length;
    EXPECT_EQ(bf.ErrorCode(), 5) << length;
    s.SetPosition(0);
    EXPECT_FALSE(bf.RestoreFromStream(&s, Path("d"))) << length;
  }
  // A huge member name length in a restore.
  plat::MemoryStream s(ArchiveBytes().Header("t", 1, 1).Int(0x7FFFFFF0).Raw(std::string(40, 'n')).b);
  TBackupFile bf;
  EXPECT_FALSE(bf.RestoreFromStream(&s, Path("d")));
}

TEST_F(DamageTest, NegativeNameLengthIsPassedOverToTheNextLength) {
  const std::vector<std::uint8_t> b = ArchiveBytes()
                                          .Header("t", 1, 1)
                                          .Int(-7)
                                          .MemberStart("c:\\n\\f.txt", kJuly2003)
                                          .Int(-1)
                                          .Raw("F")
                                          .Int(0)
                                          .Int(0)
                                          .b;
  Outcome o = RunRestore(Save(b), Path("n"));
  EXPECT_TRUE(o.result);
  EXPECT_EQ(ReadWholeFile(Path("n\\f.txt")), "F");
}

TEST_F(DamageTest, DamageInAMemberPassedOverLeavesTheRunAtOnce) {
  const std::vector<std::uint8_t> bytes = Build({Member("c:\\m\\f.txt", "f")});
  std::vector<std::uint8_t> bad = bytes;
  bad[ArchiveMap::Of(bytes).members[0].begin + 4 + 9 + 4] = 'X';  // the catalogue's signature
  Outcome o = RunRestore(Save(bad), Path("d"));
  EXPECT_TRUE(o.threw);
  EXPECT_TRUE(o.log.progress.empty());
  EXPECT_TRUE(o.log.errors.empty());
  plat::MemoryStream s(bad);
  TBackupFile bf;
  EXPECT_FALSE(bf.RestoreFromStream(&s, Path("d")));
}

// A file that is neither an installer nor an archive (its first four bytes give a title length
// that is negative or longer than the file) is named as such, not as a damaged title.
TEST_F(LumipackDamageTest, FilesThatAreNoArchiveAreSaidToBeNone) {
  const std::string kinds[] = {"root:x:0:0:root:/root:/bin/bash\n", "\xFF\xD8\xFF\xE0picture",
                               std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16)};
  for (const std::string& bytes : kinds) {
    const std::string file = Path("none.txt");
    WriteWholeFile(file, bytes);
    const std::vector<std::vector<std::string>> commands = {
        {"list", file}, {"verify", file}, {"extract", file, "-d", Path("x")}};
    for (const auto& command : commands) {
      const auto r = Lumipack(command);
      EXPECT_EQ(1, r.status) << command[0] << " " << bytes;
      EXPECT_EQ("lumipack: not an installer or archive: " + file + "\n", r.err) << bytes;
    }
    EXPECT_FALSE(fs.DirectoryExists(Path("x")));
  }
}

TEST_F(DamageTest, CatalogueWithABrokenBlockKeepsWhatWasDecodedAndSaysNothing) {
  std::vector<std::uint8_t> broken = Compress("c\r\n");
  broken.back() ^= 0xFF;  // Adler-32
  const std::vector<std::uint8_t> b = ArchiveBytes()
                                          .Header("t", 10, 0)
                                          .MemberStart("FILE:LIST", 0)
                                          .Int(-6)
                                          .Raw("a\r\nb\r\n")
                                          .Int(static_cast<std::int32_t>(broken.size()))
                                          .Raw(broken)
                                          .Int(0)
                                          .Int(0)
                                          .b;
  testsupport::MessageBoxRecorder boxes;
  plat::MemoryStream s(b);
  TBackupFile bf;
  archive::TStringList list;
  std::string title;
  bf.ReadFileListFromStream(&s, &list, title);
  EXPECT_EQ(title, "t");
  EXPECT_EQ(list, (archive::TStringList{"a", "b", "c"}));  // what inflate produced is kept
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(DamageTest, TruncatedMemberBeingRestoredIsError1ReportedAtTheEnd) {
  const std::string data = Content(40000, 1);
  const std::vector<std::uint8_t> bytes = Build({Member("c:\\m\\f.txt", data)});
  const ArchiveMap raw = ArchiveMap::Of(bytes);
  const BlockInfo& second = raw.members[1].blocks[1];
  const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(second.offset) + 10);
  Outcome o = RunRestore(Save(cut), Path("d"));
  EXPECT_FALSE(o.result);
  EXPECT_FALSE(o.threw);
  EXPECT_EQ(o.errorCode, 1);
  ASSERT_EQ(o.log.errors.size(), 1u);
  EXPECT_EQ(o.log.errors[0].second, "Cannot read file");
  EXPECT_EQ(o.log.progress.back().percent, 100);
  EXPECT_EQ(ReadWholeFile(Path("d\\f.txt")), data.substr(0, 16384));
  EXPECT_EQ(fs.FileAge(Path("d\\f.txt")), static_cast<std::int32_t>(kJuly2003));
  EXPECT_EQ(o.log.restored.size(), 1u);  // OnFileRestored still runs for the opened file
}

TEST_F(DamageTest, ZlibFailuresAreError6AfterTheBlocksOutput) {
  const std::string piece = Content(16384, 2);
  const std::string tail = Content(500, 3);
  std::vector<std::uint8_t> badAdler = Compress(piece);
  badAdler.back() ^= 0x55;
  std::vector<std::uint8_t> truncated = Compress(piece);
  truncated.resize(truncated.size() / 2);
  const std::vector<std::uint8_t> tooMuch = Compress(std::string(20000, 'a'));
  std::vector<std::uint8_t> garbage(64, 0xEE);
  struct Case {
    const char* what;
    std::vector<std::uint8_t> block;
    std::size_t expectBytes;  // the file's size afterwards, or npos to skip the check
  } cases[] = {
      {"bad checksum", badAdler, 16384},
      {"stream cut short", truncated, std::string::npos},
      {"more than a piece", tooMuch, 16384},
      {"not zlib at all", garbage, 0},
  };
  for (const Case& c : cases) {
    const std::vector<std::uint8_t> bytes = OneMember(
        {{static_cast<std::int32_t>(c.block.size()), c.block},
         {static_cast<std::int32_t>(Compress(tail).size()), Compress(tail)}});
    const std::string dest = Path(std::string("z") + std::to_string(&c - cases));
    Outcome o = RunRestore(Save(bytes), dest);
    EXPECT_FALSE(o.result) << c.what;
    EXPECT_EQ(o.errorCode, 6) << c.what;
    ASSERT_EQ(o.log.errors.size(), 1u) << c.what;
    EXPECT_EQ(o.log.errors[0].second, "Compression error");
    const std::string written = ReadWholeFile(dest + "\\f.bin");
    if (c.expectBytes != std::string::npos) {
      EXPECT_EQ(written.size(), c.expectBytes) << c.what;
    }
    const std::string source = c.block == tooMuch ? std::string(20000, 'a') : piece;
    EXPECT_EQ(written, source.substr(0, written.size())) << c.what;
    // the run stops after the damaged block: its event, then the final one
    ASSERT_EQ(o.log.progress.size(), 2u) << c.what;
  }
}

TEST_F(DamageTest, BlocksLongerThanAPieceAreRefusedUnread) {
  std::vector<std::uint8_t> big(16385, 'b');
  for (std::int32_t length : {16385, -16385, std::numeric_limits<std::int32_t>::min()}) {
    const std::vector<std::uint8_t> bytes = OneMember({{length, big}});
    const std::string dest = Path("b" + std::to_string(length == 16385 ? 1 : length == -16385 ? 2 : 3));
    Outcome o = RunRestore(Save(bytes), dest);
    EXPECT_FALSE(o.result) << length;
    EXPECT_EQ(o.errorCode, 1) << length;
    EXPECT_EQ(ReadWholeFile(dest + "\\f.bin"), "") << length;

    // passed over (refused by the handler): the run leaves at once
    TBackupFile bf;
    bf.OnRestoreFile = [](TBackupFile*, std::string&, std::int32_t, bool& d) { d = false; };
    plat::MemoryStream s(bytes);
    EXPECT_FALSE(bf.RestoreFromStream(&s, dest)) << length;
  }
}

TEST_F(ArchiveCheckTest, DamagedDataPassesTheScanButNotTheVerification) {
  const std::vector<std::uint8_t> archiveBytes = SoundArchive();
  const testsupport::ArchiveMap raw = testsupport::ArchiveMap::Of(archiveBytes);
  ASSERT_EQ(raw.members.size(), 4u);  // the catalogue first
  const testsupport::BlockInfo& block = raw.members[1].blocks[1];
  ASSERT_GT(block.length, 10);
  struct Flip {
    std::size_t at;  // in the block's data
    const char* expected;
  };
  const Flip flips[] = {
      {static_cast<std::size_t>(block.length) - 1, "damaged zlib data (incorrect data check)"},
      {0, "damaged zlib data"},
  };
  for (const Flip& f : flips) {
    std::vector<std::uint8_t> file = Installer(archiveBytes);
    file[kStub + block.offset + f.at] ^= 0x20;
    EXPECT_EQ(Scan(file), "") << f.at;
    EXPECT_NE(Verify(file).find(f.expected), std::string::npos) << Verify(file);
  }
  // A header that promises other sizes than the members hold.
  std::vector<std::uint8_t> file = Installer(archiveBytes);
  const std::size_t totalAt = kStub + 4 + raw.title.size();
  file[totalAt] ^= 0x01;
  EXPECT_EQ(Scan(file), "");
  EXPECT_NE(Verify(file).find("the header's total size"), std::string::npos) << Verify(file);
}

TEST_F(ArchiveCheckTest, InflateWholeBlockTellsEveryOutcome) {
  const std::string piece = Content(5000, 3);
  const std::vector<std::uint8_t> z = testsupport::Compress(piece);
  std::vector<std::uint8_t> out(16384);
  using S = archive::InflateStatus;

  archive::InflateResult r = archive::InflateWholeBlock(z.data(), z.size(), out.data(), out.size());
  EXPECT_EQ(r.status, S::kOk);
  EXPECT_EQ(r.produced, piece.size());
  EXPECT_EQ(std::string(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(r.produced)), piece);

  EXPECT_EQ(archive::InflateWholeBlock(z.data(), z.size() - 3, out.data(), out.size()).status,
            S::kTruncated);
  EXPECT_EQ(archive::InflateWholeBlock(z.data(), z.size(), out.data(), 4000).status, S::kTooLong);
  std::vector<std::uint8_t> trailing = z;
  trailing.push_back(0);
  r = archive::InflateWholeBlock(trailing.data(), trailing.size(), out.data(), out.size());
  EXPECT_EQ(r.status, S::kTrailing);
  EXPECT_EQ(r.leftIn, 1u);
  std::vector<std::uint8_t> bad = z;
  bad.back() ^= 1;  // the Adler-32
  r = archive::InflateWholeBlock(bad.data(), bad.size(), out.data(), out.size());
  EXPECT_EQ(r.status, S::kDamaged);
  EXPECT_EQ(r.detail, "incorrect data check");
}

TEST_F(LumipackDamageTest, FormatFaultsAreNamed) {
  const std::string zeros(20000, '\0');
  const auto packedZeros = testsupport::Compress(zeros);
  const std::string piece = testsupport::Prose(1000);
  const auto packed = testsupport::Compress(piece);
  auto cut = packed;
  cut.resize(cut.size() - 5);
  auto badCheck = packed;
  badCheck.back() ^= 1;
  const auto empty = testsupport::Compress(std::string());

  // extract: what extract reports when it differs from verify (nullptr: the same), or kLenient
  // where the fault breaks only the format's rules and not the data: the installer's reader
  // restores such an archive correctly, and so does extract; verify holds it to every rule.
  static const char kLenient[] = "";
  struct Case {
    const char* label;
    std::string bytes;
    const char* what;
    const char* extract = nullptr;
  };
  const std::vector<Case> cases = {
      {"oversized compressed block",
       OneMember([](ArchiveBytes& b) { b.Int(16385).Raw(std::string(16385, 'x')).Int(0).Int(0); }),
       "block 1 at offset"},
      {"oversized stored block",
       OneMember([](ArchiveBytes& b) { b.Int(-16385).Raw(std::string(16385, 'x')).Int(0).Int(0); }),
       "is 16385 bytes long; a block holds at most 16384"},
      {"most negative block length", OneMember([](ArchiveBytes& b) { b.Int(INT32_MIN).Int(0).Int(0); }),
       "is 2147483648 bytes long"},
      {"block beyond the file", OneMember([](ArchiveBytes& b) { b.Int(-500).Raw("abc"); }),
       "block 1 is truncated: 500 bytes announced, 3 left"},
      {"truncated zlib stream",
       OneMember([&](ArchiveBytes& b) { b.Int(static_cast<std::int32_t>(cut.size())).Raw(cut).Int(0).Int(0); }, 1000),
       "block 1: its zlib stream is truncated"},
      {"zlib stream longer than a piece",
       OneMember([&](ArchiveBytes& b) { b.Int(static_cast<std::int32_t>(packedZeros.size())).Raw(packedZeros).Int(0).Int(0); }, 20000),
       "block 1 inflates to more than 16384 bytes"},
      {"bytes after the zlib stream",
       OneMember([&](ArchiveBytes& b) { b.Int(static_cast<std::int32_t>(packed.size() + 3)).Raw(packed).Raw("xyz").Int(0).Int(0); }, 1000),
       "block 1: 3 bytes follow its zlib stream", kLenient},
      {"wrong Adler-32",
       OneMember([&](ArchiveBytes& b) { b.Int(static_cast<std::int32_t>(badCheck.size())).Raw(badCheck).Int(0).Int(0); }, 1000),
       "block 1: damaged zlib data (incorrect data check)"},
      {"zlib stream of nothing",
       OneMember([&](ArchiveBytes& b) { b.Int(static_cast<std::int32_t>(empty.size())).Raw(empty).Int(0).Int(0); }, 0),
       "block 1 holds no data", kLenient},
      {"short block before another",
       OneMember([](ArchiveBytes& b) { b.Int(-10).Raw(std::string(10, 'a')).Int(-10).Raw(std::string(10, 'b')).Int(0).Int(0); }, 20),
       "block 2 follows a block of fewer than 16384 bytes", kLenient},
      {"no end-of-archive marker", OneMember([](ArchiveBytes& b) { b.Int(-1).Raw("a").Int(0); }),
       "truncated member name length"},
      {"bytes after the end", OneMember([](ArchiveBytes& b) { b.Int(-1).Raw("a").Int(0).Int(0).Raw("junk"); }),
       "4 bytes follow the end-of-archive marker"},
      {"catalogue size differs", OneMember([](ArchiveBytes& b) { b.Int(-2).Raw("ab").Int(0).Int(0); }, 1),
       "c:\\d\\f: size 2 differs from catalogue line 1's 1", "c:\\d\\f: extracted 2 bytes; the catalogue lists 1"},
      {"negative name length", ArchiveBytes().Header("T", 0, 0).Int(-5).Int(0).Str(),
       "negative member name length -5"},
      {"name longer than the file", ArchiveBytes().Header("T", 0, 0).Int(0x7FFFFFFF).Raw("c:\\x").Str(),
       "member name length 2147483647 at offset 13 is more than the 4 bytes left"},
      {"title longer than the payload", AsPayload(ArchiveBytes().Int(0x40000000).Raw("abc").Str()),
       "title length 1073741824 is more than the 3 bytes left"},
      {"negative title length", AsPayload(ArchiveBytes().Int(-1).Str()), "negative title length -1"},
      {"bad signature", ArchiveBytes().Header("T", 0, 1).Text("c:\\f").Int(1).Raw("EC3").Int(0).Int(0).Int(0).Str(),
       "c:\\f: bad member signature 45 43 33 00"},
      {"file count differs", ArchiveBytes().Header("T", 0, 2).Member("c:\\f", 1, "").Int(0).Str(),
       "the header counts 2 files; the archive holds 1", kLenient},
      {"total size differs", ArchiveBytes().Header("T", 7, 1).Member("c:\\f", 1, "").Int(0).Str(),
       "the header's total size 7 differs from the members' 0 bytes", kLenient},
      {"catalogue lists too few",
       ArchiveBytes().Header("T", 1, 1).Member("FILE:LIST", 1, "").Member("c:\\f", 1, "a").Int(0).Str(),
       "FILE:LIST: lists 0 files; the archive holds 1"},
      {"catalogue out of place",
       ArchiveBytes().Header("T", 0, 1).Member("c:\\f", 1, "").Member("FILE:LIST", 1, "").Int(0).Str(),
       "only the first member may be the catalogue", kLenient},
      {"malformed catalogue",
       ArchiveBytes().Header("T", 5, 0).Member("FILE:LIST", 1, "oops\n").Int(0).Str(),
       "FILE:LIST: catalogue line 1 does not end in CR LF"},
      {"volume marker first", ArchiveBytes().Header("T", 0, 0).Text("NEXT:DISK002").Str(),
       "a volume marker before any member"},
      {"malformed volume marker",
       ArchiveBytes().Header("T", 0, 1).MemberStart("c:\\f", 1).Int(0).Text("NEXT:DISKabc").Str(),
       "malformed volume marker \"NEXT:DISKabc\""},
      {"bytes after a volume marker",
       ArchiveBytes().Header("T", 0, 1).MemberStart("c:\\f", 1).Int(0).Text("NEXT:DISK002").Int(0).Str(),
       "4 bytes follow the volume marker"},
  };
  for (const Case& c : cases) {
    ExpectFailure(c.bytes, {"verify"}, c.what, c.label);
    if (c.extract == kLenient) {
      WriteWholeFile(Path("lenient.lpk"), c.bytes);
      const auto r = Lumipack({"extract", Path("lenient.lpk"), "-d", Path("x")});
      EXPECT_EQ(0, r.status) << c.label << ": " << r.err;
    } else {
      ExpectFailure(c.bytes, {"extract", "-d", Path("x")}, c.extract ? c.extract : c.what, c.label);
    }
  }
}

}  // namespace
}  // namespace robust
