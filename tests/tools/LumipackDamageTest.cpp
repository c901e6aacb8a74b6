// lumipack on damaged and hostile archives: every command ends with a non-zero status and one
// line naming the file, the member and the fault, and never crashes, reads past a bound or
// writes outside its destination.
#include <gtest/gtest.h>

#include <functional>

#include "LumipackTestSupport.h"
#include "support/ArchiveBytes.h"
#include "support/FaultFileSystem.h"
#include "support/SeededBytes.h"

namespace {

using lptest::Lumipack;
using testsupport::ArchiveBytes;
using testsupport::WriteWholeFile;

constexpr std::uint32_t kWhen = testsupport::kJuly2003;

// A small sound archive: catalogue, a two-block text, an empty file, a stored block.
std::string Sound() {
  const std::string text = testsupport::Prose(20000), noise = testsupport::Noise(100, 9, 23);
  const std::string catalogue = testsupport::CatalogueLine("c:\\d\\text.txt", kWhen, text.size()) +
                                testsupport::CatalogueLine("c:\\d\\empty", kWhen, 0) +
                                testsupport::CatalogueLine("c:\\d\\noise.bin", kWhen, noise.size());
  ArchiveBytes b;
  b.Header("T", static_cast<std::int32_t>(catalogue.size() + text.size() + noise.size()), 3);
  b.Member("FILE:LIST", kWhen, catalogue)
      .Member("c:\\d\\text.txt", kWhen, text)
      .Member("c:\\d\\empty", kWhen, "")
      .Member("c:\\d\\noise.bin", kWhen, noise)
      .Int(0);
  return b.Str();
}

std::string Installer() { return testsupport::Installer(Sound(), 512); }

// The archive as an installer's payload, behind an 8-byte stub: a damaged header that would
// make a file of its own no archive at all.
std::string AsPayload(const std::string& archive) { return testsupport::Installer(archive, 8); }

// An archive with one file member "c:\d\f" whose data are the given bytes (signature on), and
// a catalogue line claiming size bytes.
std::string OneMember(const std::function<void(ArchiveBytes&)>& data, std::size_t size = 1) {
  const std::string catalogue = testsupport::CatalogueLine("c:\\d\\f", kWhen, size);
  ArchiveBytes b;
  b.Header("T", static_cast<std::int32_t>(catalogue.size() + size), 1)
      .Member("FILE:LIST", kWhen, catalogue)
      .MemberStart("c:\\d\\f", kWhen);
  data(b);
  return b.Str();
}

class LumipackDamageTest : public testsupport::ScratchDriveTest {
 protected:
  // Runs the command on bytes written to a fresh file; expects failure with one line naming
  // the file and containing what.
  void ExpectFailure(const std::string& bytes, const std::vector<std::string>& command,
                     const std::string& what, const std::string& label) {
    const std::string file = Path("case" + std::to_string(++counter_) + ".lpk");
    WriteWholeFile(file, bytes);
    std::vector<std::string> args = {command[0], file};
    args.insert(args.end(), command.begin() + 1, command.end());
    const auto r = Lumipack(args);
    EXPECT_EQ(1, r.status) << label << ": " << command[0] << "\n" << r.out;
    EXPECT_EQ(1, lptest::Lines(r.err)) << label << ": " << r.err;
    EXPECT_EQ(0u, r.err.find("lumipack: " + file)) << label << ": " << r.err;
    EXPECT_NE(std::string::npos, r.err.find(what)) << label << ": " << r.err;
  }
  plat::FileSystem& fs = plat::RealFileSystem();
  int counter_ = 0;
};

TEST_F(LumipackDamageTest, TheSoundSamplesPass) {
  WriteWholeFile(Path("a.lpk"), Sound());
  WriteWholeFile(Path("i.exe"), Installer());
  for (const char* f : {"a.lpk", "i.exe"}) {
    EXPECT_EQ(0, Lumipack({"verify", Path(f)}).status) << f;
    EXPECT_EQ(0, Lumipack({"list", Path(f)}).status) << f;
    EXPECT_EQ(0, Lumipack({"extract", Path(f), "-d", Path("x")}).status) << f;
  }
}

TEST_F(LumipackDamageTest, TruncatedAtAnyPointFailsAndWritesNothing) {
  for (const std::string& whole : {Sound(), Installer()}) {
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
      const std::string file = Path("cut.lpk");
      WriteWholeFile(file, whole.substr(0, cut));
      const std::string label = "cut at " + std::to_string(cut);
      for (const char* command : {"verify", "extract"}) {
        const auto r = Lumipack({command, file, "-d", Path("out")});
        if (std::string(command) == "verify") {
          const auto v = Lumipack({command, file});
          ASSERT_EQ(1, v.status) << label;
          ASSERT_EQ(1, lptest::Lines(v.err)) << label << v.err;
          continue;
        }
        ASSERT_EQ(1, r.status) << label;
        ASSERT_EQ(1, lptest::Lines(r.err)) << label << r.err;
        ASSERT_FALSE(fs.DirectoryExists(Path("out"))) << label;
      }
      // list reads only as far as the catalogue: it may succeed on a cut after it.
      const auto l = Lumipack({"list", file});
      ASSERT_TRUE(l.status == 0 || (l.status == 1 && lptest::Lines(l.err) == 1)) << label << l.err;
    }
  }
}

TEST_F(LumipackDamageTest, FlippedBytesNeverCrashAndStructureFlipsAreCaught) {
  const std::string whole = Sound();
  // Offsets of fields whose damage must always be found: the archive's counts and the first
  // file member's name length, signature and first block length.
  const std::size_t counts = 4 + 1;                      // TotalSize, FileCount
  std::vector<std::size_t> mustFail;
  for (std::size_t i = counts; i < counts + 8; ++i) mustFail.push_back(i);
  const std::size_t member = whole.find(std::string("\x0D\0\0\0c:\\d\\text.txt", 17));
  ASSERT_NE(std::string::npos, member);
  for (std::size_t i = 0; i < 4; ++i) mustFail.push_back(member + i);                // name length
  for (std::size_t i = 0; i < 8; ++i) mustFail.push_back(member + 4 + 13 + 4 + i);   // signature, block length

  int failures = 0;
  for (std::size_t at = 0; at < whole.size(); ++at) {
    std::string damaged = whole;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x55);
    const std::string file = Path("flip.lpk");
    WriteWholeFile(file, damaged);
    const auto v = Lumipack({"verify", file});
    ASSERT_TRUE(v.status == 0 || v.status == 1) << at;
    if (v.status == 1) {
      ++failures;
      ASSERT_EQ(1, lptest::Lines(v.err)) << at << v.err;
    }
    if (std::find(mustFail.begin(), mustFail.end(), at) != mustFail.end()) {
      EXPECT_EQ(1, v.status) << "flip at " << at << " passed verify";
    }
    if (at % 5 == 0) {
      const auto x = Lumipack({"extract", file, "-d", Path("out")});
      ASSERT_TRUE(x.status == 0 || (x.status == 1 && lptest::Lines(x.err) == 1)) << at << x.err;
      // What verify finds wrong is never extracted as a success.
      if (v.status == 1 && v.err.find("catalogue") == std::string::npos &&
          v.err.find("header") == std::string::npos) {
        EXPECT_EQ(1, x.status) << "flip at " << at << ": verify says " << v.err;
      }
    }
  }
  // Only the title, the catalogue's date-time and the stored block's bytes carry no check.
  EXPECT_GT(failures, static_cast<int>(whole.size()) - 130);
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

TEST_F(LumipackDamageTest, VolumeAndInstallerFaults) {
  // A volume whose marker points back at itself would make a reader go round for ever.
  WriteWholeFile(Path("loop.002"), ArchiveBytes().Raw(std::string("EC2\0", 4)).Int(0).Text("NEXT:DISK002").Str());
  const std::string first = ArchiveBytes().Header("T", 0, 1).MemberStart("c:\\f", 1).Int(0).Text("NEXT:DISK002").Str();
  WriteWholeFile(Path("loop.lpk"), first);
  const std::vector<std::vector<std::string>> commands = {
      {"verify", Path("loop.lpk")}, {"extract", Path("loop.lpk"), "-d", Path("x")}};
  for (const auto& command : commands) {
    const auto r = Lumipack(command);
    EXPECT_EQ(1, r.status) << command[0];
    EXPECT_NE(std::string::npos, r.err.find("leads back to " + Path("loop.002"))) << r.err;
  }

  std::string installer = Installer();
  ExpectFailure(installer.substr(0, installer.size() - 4) + std::string("\xFF\xFF\0\0", 4), {"verify"},
                "the payload trailer points outside the file (offset 65535", "trailer outside");
  ExpectFailure("MZ", {"list"}, "an installer too short to hold a payload trailer", "tiny installer");
  const std::string stub = "MZ" + std::string(6, '\0');
  const std::string marker = ArchiveBytes().Raw(stub).Header("T", 0, 1).MemberStart("c:\\f", 1).Int(0)
                                 .Text("NEXT:DISK002").Int(8).Str();
  ExpectFailure(marker, {"extract", "-d", Path("x")}, "a volume marker in an installer", "installer volume");
  ExpectFailure("", {"verify"}, "truncated archive header", "empty file");
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

TEST_F(LumipackDamageTest, NamesWindowsCannotHoldAreRefusedBeforeAnythingIsWritten) {
  for (const char* name : {"c:\\d\\CON.txt", "c:\\d\\a?b", "c:\\d\\dot."}) {
    const std::string bytes = ArchiveBytes().Header("T", 2, 2).Member("c:\\d\\good.txt", kWhen, "g")
                                  .Member(name, kWhen, "x").Int(0).Str();
    ExpectFailure(bytes, {"extract", "-d", Path("out")}, "cannot be written safely", name);
    EXPECT_FALSE(fs.DirectoryExists(Path("out"))) << name;
  }
  const std::string full = ArchiveBytes().Header("T", 1, 1).Member("c:\\nul\\a.txt", kWhen, "x").Int(0).Str();
  ExpectFailure(full, {"extract", "--full-path", "-d", Path("out")}, "cannot be written safely",
                "device folder");
}

TEST_F(LumipackDamageTest, NamesLeadingOutOfTheDestinationAreRefused) {
  const std::string flat = ArchiveBytes().Header("T", 1, 1).Member("c:\\a/../../evil.txt", kWhen, "x").Int(0).Str();
  ExpectFailure(flat, {"extract", "-d", Path("x\\y")}, "c:\\a/../../evil.txt: its name leads outside", "slash");
  const std::string full = ArchiveBytes().Header("T", 1, 1).Member("c:\\..\\evil.txt", kWhen, "x").Int(0).Str();
  ExpectFailure(full, {"extract", "--full-path", "-d", Path("x\\y")}, "its name leads outside", "dots");
  EXPECT_FALSE(fs.FileExists(Path("evil.txt")));
  EXPECT_FALSE(fs.FileExists(Path("x\\evil.txt")));
  EXPECT_FALSE(fs.DirectoryExists(Path("x")));
  // The same names are sound in flat mode when they stay inside.
  WriteWholeFile(Path("ok.lpk"), full);
  EXPECT_EQ(0, Lumipack({"extract", Path("ok.lpk"), "-d", Path("x\\y")}).status);
  EXPECT_TRUE(fs.FileExists(Path("x\\y\\evil.txt")));
}

TEST_F(LumipackDamageTest, MissingInputsAndUnwritableOutputsFailCleanly) {
  auto r = Lumipack({"verify", Path("absent.lpk")});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.err.find("lumipack: " + Path("absent.lpk") + ": cannot be read")) << r.err;

  lumipack::CreateOptions o;
  o.out = Path("out.lpk");
  o.inputs = {"nothing-here"};
  auto c = lptest::Create(o, Base());
  EXPECT_EQ(1, c.status);
  EXPECT_NE(std::string::npos, c.err.find("no such file or folder"));
  EXPECT_FALSE(fs.FileExists(o.out));
  c = lptest::Create(o, Path("absent"));
  EXPECT_EQ(1, c.status);
  EXPECT_EQ("no such folder", c.err);

  WriteWholeFile(Path("f.txt"), std::string("data"));
  o.inputs = {"f.txt"};
  o.out = Path("no\\such\\folder\\out.lpk");
  c = lptest::Create(o, Base());
  EXPECT_EQ(1, c.status);
}

// Every counted file-layer call of an extraction and of a creation fails in turn: each run
// either succeeds completely or reports failure; none reports success with missing output.
TEST_F(LumipackDamageTest, AFileLayerFaultAnywhereIsNeverASuccess) {
  WriteWholeFile(Path("a.lpk"), Sound());
  const std::string text = testsupport::Prose(20000);
  testsupport::FaultFileSystem faulty;
  bool fired = true;
  for (long n = 1; fired && n < 500; ++n) {
    testsupport::RemoveTree(Path("x"));
    faulty.FailAt(n);
    const auto r = Lumipack({"extract", Path("a.lpk"), "-d", Path("x")}, faulty);
    fired = faulty.Fired();
    if (fired) {
      EXPECT_EQ(1, r.status) << "fault at call " << n;
      EXPECT_EQ(1, lptest::Lines(r.err)) << n << r.err;
    } else {
      EXPECT_EQ(0, r.status) << r.err;
      EXPECT_EQ(text, testsupport::ReadWholeFile(Path("x\\text.txt")));
    }
  }
  EXPECT_FALSE(fired);

  fs.ForceDirectories(Path("in"));
  WriteWholeFile(Path("in\\t.txt"), text);
  fired = true;
  for (long n = 1; fired && n < 500; ++n) {
    std::ostringstream out, err;
    lumipack::Context ctx{out, err, faulty, false};
    lumipack::CreateOptions o;
    o.out = Path("made.lpk");
    o.inputs = {"in"};
    o.baseFolder = Base();
    faulty.FailAt(n);
    bool ok = true;
    try {
      lumipack::Create(o, ctx);
    } catch (const std::exception&) {
      ok = false;
    }
    fired = faulty.Fired();
    EXPECT_EQ(!fired, ok) << "fault at call " << n;
    if (!ok) {
      EXPECT_FALSE(fs.FileExists(o.out)) << "a partial archive is left, fault " << n;
    }
  }
  EXPECT_FALSE(fired);
  EXPECT_EQ(0, Lumipack({"verify", Path("made.lpk")}).status);
}

}  // namespace
