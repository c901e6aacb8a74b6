// The corruption matrix: a small archive and the synthetic payload, cut short at every
// structural boundary and at a sample of other offsets, and with single bytes flipped over
// every header field and a sample of block bytes. Every case must end with a clear outcome (a
// result or a plat::Error, at most one report) and never with success when a member is missing
// or differs. The runs write to a file layer in memory, so that thousands of cases take
// seconds. The one damage this format cannot see is a changed byte in a stored block (raw
// bytes, no checksum), and likewise a changed name or date-time: those are counted apart.
// lumipack is swept the same way over a smaller sample: a cut anywhere fails every command, a
// flipped byte never crashes one, and a flip in the structure fails verify.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "DamageFixtures.h"
#include "RobustSupport.h"
#include "support/ArchiveMap.h"
#include "support/MemoryFileSystem.h"
#include "support/SeededBytes.h"

namespace robust {
namespace {

using testsupport::ArchiveMap;
using testsupport::MemoryFileSystem;
using testsupport::Region;
using testsupport::RegionName;
using testsupport::Span;

enum class Verdict {
  kFailed,         // the run answered false or raised
  kIntact,         // success, and every expected file is there unchanged
  kRenamed,        // success, a member written under another name (a changed name byte)
  kRedated,        // success, files intact (a changed date-time or catalogue byte)
  kStoredAltered,  // success, a stored block's byte changed: cannot be detected
  kWrong,          // success with a file missing or altered: never allowed
};

const char* VerdictName(Verdict v) {
  switch (v) {
    case Verdict::kFailed: return "failed";
    case Verdict::kIntact: return "intact";
    case Verdict::kRenamed: return "renamed";
    case Verdict::kRedated: return "redated";
    case Verdict::kStoredAltered: return "stored-altered";
    case Verdict::kWrong: return "WRONG";
  }
  return "?";
}

class CorruptionMatrixTest : public ::testing::Test {
 protected:
  MemoryFileSystem memory_;
  std::map<std::string, int> tally_;
  int cases_ = 0;

  // Restores damaged bytes (members other than `only` passed over when it is not negative)
  // and judges the outcome against the expected files.
  // Restores the first `size` bytes of damaged into memory and judges the outcome.
  Verdict Judge(const std::vector<std::uint8_t>& damaged, std::size_t size,
                const std::vector<Expected>& members, const std::string& only, Region region,
                const std::string& what) {
    ++cases_;
    static const std::string kDest = "c:\\out";
    const RunOutcome o = RestoreBytes(memory_, damaged.data(), size, kDest, only);
    EXPECT_LE(o.reports.size(), 1u) << what;
    if (o.threw || o.result) {
      EXPECT_TRUE(o.reports.empty()) << what;
    }

    // Compared in place: the payload's files are large and there are many cases.
    Files found;
    for (const auto& f : memory_.Entries()) {
      const std::string& path = f.second->path;
      if (path.compare(0, kDest.size() + 1, kDest + "\\") != 0) {
        ADD_FAILURE() << what << ": written outside the destination: " << path;
        continue;
      }
      found[path.substr(kDest.size() + 1)] = {f.second->bytes.data(), f.second->bytes.size()};
    }

    Verdict v = Verdict::kFailed;
    if (o.result) {
      Files expected;
      for (const Expected& m : members) {
        if (only.empty() || FlatName(m.name) == only) {
          expected[FlatName(m.name)] = {reinterpret_cast<const std::uint8_t*>(m.content.data()),
                                        m.content.size()};
        }
      }
      v = Compare(expected, found, region);
    }
    memory_.Clear();
    // "cut ..." or "flip ...": the kind of damage leads the tally's key.
    ++tally_[what.substr(0, what.find(' ')) + " in " + RegionName(region) + ": " + VerdictName(v)];
    EXPECT_NE(v, Verdict::kWrong) << what << " (" << RegionName(region) << "): " << o.Describe();
    return v;
  }

  struct Bytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    bool operator==(const Bytes& o) const {
      return size == o.size && (size == 0 || std::memcmp(data, o.data, size) == 0);
    }
    bool operator!=(const Bytes& o) const { return !(*this == o); }
  };
  using Files = std::map<std::string, Bytes>;

  static Verdict Compare(const Files& expected, const Files& found, Region region) {
    if (found == expected) {
      return region == Region::kDateTime || region == Region::kCompressedData ||
                     region == Region::kStoredData
                 ? Verdict::kRedated  // the data was in the catalogue, or only the date moved
                 : Verdict::kIntact;
    }
    std::vector<std::string> missing, extra, changed;
    for (const auto& e : expected) {
      auto it = found.find(e.first);
      if (it == found.end()) missing.push_back(e.first);
      else if (it->second != e.second) changed.push_back(e.first);
    }
    for (const auto& f : found)
      if (!expected.count(f.first)) extra.push_back(f.first);
    if (region == Region::kName && changed.empty() && missing.size() == 1 && extra.size() == 1 &&
        found.at(extra[0]) == expected.at(missing[0])) {
      return Verdict::kRenamed;
    }
    // Restoring one member by name: under its changed name it was passed over.
    if (region == Region::kName && found.empty() && expected.size() == 1) {
      return Verdict::kRenamed;
    }
    // The catalogue under a changed name is an ordinary member: written out as a file.
    if (region == Region::kName && changed.empty() && missing.empty() && extra.size() == 1) {
      return Verdict::kRenamed;
    }
    if (region == Region::kStoredData && missing.empty() && extra.empty() && changed.size() == 1) {
      return Verdict::kStoredAltered;
    }
    return Verdict::kWrong;
  }

  // One byte changed for the length of a scope, in a working copy shared by every case.
  class Flipped {
   public:
    Flipped(std::vector<std::uint8_t>& b, std::size_t at, std::uint8_t mask)
        : b_(b), at_(at), mask_(mask) {
      b_[at_] ^= mask_;
    }
    ~Flipped() { b_[at_] ^= mask_; }

   private:
    std::vector<std::uint8_t>& b_;
    std::size_t at_;
    std::uint8_t mask_;
  };

  // The file a byte's damage is restored through: its member's own (the first file for the
  // header, the catalogue and the end marker); the other members are passed over.
  static std::string OnlyFor(const Span& s) {
    const auto& members = SyntheticMembers();
    return FlatName(members[s.member >= 1 ? static_cast<std::size_t>(s.member) - 1 : 0].name);
  }

  void Print(const char* title) {
    std::printf("%s: %d cases\n", title, cases_);
    for (const auto& t : tally_) std::printf("  %-40s %d\n", t.first.c_str(), t.second);
  }

  // The catalogue read of damaged bytes: a clear outcome, at most one report.
  static void CatalogueReadIsClear(const std::vector<std::uint8_t>& damaged, std::size_t size,
                                   const std::string& what) {
    archive::TBackupFile bf;
    int reports = 0;
    bf.OnError = [&reports](archive::TBackupFile*, std::int32_t, std::string) { ++reports; };
    ViewStream s(damaged.data(), size);
    archive::TStringList list;
    std::string title;
    bf.ReadFileListFromStream(&s, &list, title);
    EXPECT_LE(reports, 1) << what;
    EXPECT_LE(title.size(), size) << what;
  }
};

TEST_F(CorruptionMatrixTest, SmallArchiveEveryBoundaryAndEveryHeaderByte) {
  std::vector<std::uint8_t> bytes = SmallArchive();
  const ArchiveMap map = ArchiveMap::Of(bytes);
  ASSERT_EQ(map.size, bytes.size());
  ASSERT_EQ(map.members.size(), SmallMembers().size() + 1);

  // Truncations: every boundary, and every 11th offset besides.
  std::set<std::size_t> cuts;
  for (std::size_t b : map.Boundaries()) cuts.insert(b);
  for (std::size_t n = 0; n < bytes.size(); n += 11) cuts.insert(n);
  for (std::size_t n : cuts) {
    const Verdict v = Judge(bytes, n, SmallMembers(), std::string(),
                            map.At(n < bytes.size() ? n : n - 1).region, "cut at " + std::to_string(n));
    if (n < bytes.size()) {
      EXPECT_EQ(v, Verdict::kFailed) << "cut at " << n;
    } else {
      EXPECT_EQ(v, Verdict::kIntact);
    }
    CatalogueReadIsClear(bytes, n, "cut at " + std::to_string(n));
  }

  // Flips: every byte outside block data with three masks; every 7th compressed byte and
  // every 61st stored byte with one.
  for (const Span& s : map.spans) {
    const bool data = s.region == Region::kCompressedData || s.region == Region::kStoredData;
    const std::size_t step = s.region == Region::kCompressedData ? 7 : s.region == Region::kStoredData ? 61 : 1;
    for (std::size_t at = s.begin; at < s.end; at += step) {
      for (std::uint8_t mask : {std::uint8_t{0x01}, std::uint8_t{0x80}, std::uint8_t{0xFF}}) {
        if (data && mask != 0xFF) continue;
        const std::string what = "flip " + std::to_string(mask) + " at " + std::to_string(at);
        Flipped flipped(bytes, at, mask);
        const Verdict v = Judge(bytes, bytes.size(), SmallMembers(), std::string(), s.region, what);
        // A compressed block of a file member is guarded by its zlib stream.
        if (s.region == Region::kCompressedData && s.member >= 1) {
          EXPECT_EQ(v, Verdict::kFailed) << what;
        }
        CatalogueReadIsClear(bytes, bytes.size(), what);
      }
    }
  }
  Print("small archive");
}

TEST_F(CorruptionMatrixTest, SyntheticPayloadBoundariesHeadersAndSampledBlocks) {
  std::vector<std::uint8_t> bytes = SyntheticArchive();
  const ArchiveMap map = ArchiveMap::Of(bytes);
  ASSERT_EQ(map.members.size(), 14u);

  // Truncations: every field of every member's head and end, every 80th block boundary, and
  // 8 offsets drawn with a fixed seed.
  std::set<std::size_t> cuts;
  std::size_t blockIndex = 0;
  for (const Span& s : map.spans) {
    if (s.region == Region::kBlockLength) {
      if (blockIndex++ % 80 == 0) cuts.insert(s.begin);
    } else if (s.region != Region::kCompressedData && s.region != Region::kStoredData) {
      cuts.insert(s.begin);
    }
  }
  std::uint32_t x = 20041122u;
  for (int k = 0; k < 8; ++k) {
    x = testsupport::NextRandom(x);
    cuts.insert(static_cast<std::size_t>(x) % bytes.size());
  }
  for (std::size_t n : cuts) {
    const Span& s = map.At(n);
    const Verdict v = Judge(bytes, n, SyntheticMembers(), OnlyFor(s), s.region,
                            "cut at " + std::to_string(n));
    EXPECT_EQ(v, Verdict::kFailed) << "cut at " << n;
  }

  // Flips: every byte of the archive header and of each member's name length, signature,
  // first block length and end marker; every 5th name byte and one date-time byte; one byte
  // in every 80th block, three in both stored blocks.
  blockIndex = 0;
  std::vector<std::size_t> firstLength(map.members.size(), 0);
  for (const Span& s : map.spans) {
    std::vector<std::size_t> at;
    switch (s.region) {
      case Region::kName:
        for (std::size_t p = s.begin; p < s.end; p += 5) at.push_back(p);
        break;
      case Region::kDateTime:
        at.push_back(s.begin + 3);
        break;
      case Region::kBlockLength:
        if (firstLength[static_cast<std::size_t>(s.member)]++ == 0) {
          for (std::size_t p = s.begin; p < s.end; ++p) at.push_back(p);
        }
        break;
      case Region::kCompressedData:
      case Region::kStoredData:
        if (s.region == Region::kStoredData) {
          at = {s.begin, s.begin + (s.end - s.begin) / 2, s.end - 1};
        } else if (blockIndex % 80 == 0) {
          at = {s.begin + (blockIndex / 80) % (s.end - s.begin)};
        }
        ++blockIndex;
        break;
      default:
        for (std::size_t p = s.begin; p < s.end; ++p) at.push_back(p);
    }
    for (std::size_t p : at) {
      const std::string what = "flip at " + std::to_string(p);
      Flipped flipped(bytes, p, 0xFF);
      const Verdict v = Judge(bytes, bytes.size(), SyntheticMembers(), OnlyFor(s), s.region, what);
      if (s.region == Region::kCompressedData && s.member >= 1) {
        EXPECT_EQ(v, Verdict::kFailed) << what;
      }
      if (s.member <= 0) CatalogueReadIsClear(bytes, bytes.size(), what);
    }
  }
  Print("synthetic payload");
}

// lumipack over its own samples: every cut and every flipped byte.
using testsupport::Lumipack;
using testsupport::WriteWholeFile;

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
          ASSERT_EQ(1, testsupport::Lines(v.err)) << label << v.err;
          continue;
        }
        ASSERT_EQ(1, r.status) << label;
        ASSERT_EQ(1, testsupport::Lines(r.err)) << label << r.err;
        ASSERT_FALSE(fs.DirectoryExists(Path("out"))) << label;
      }
      // list reads only as far as the catalogue: it may succeed on a cut after it.
      const auto l = Lumipack({"list", file});
      ASSERT_TRUE(l.status == 0 || (l.status == 1 && testsupport::Lines(l.err) == 1)) << label << l.err;
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
      ASSERT_EQ(1, testsupport::Lines(v.err)) << at << v.err;
    }
    if (std::find(mustFail.begin(), mustFail.end(), at) != mustFail.end()) {
      EXPECT_EQ(1, v.status) << "flip at " << at << " passed verify";
    }
    if (at % 5 == 0) {
      const auto x = Lumipack({"extract", file, "-d", Path("out")});
      ASSERT_TRUE(x.status == 0 || (x.status == 1 && testsupport::Lines(x.err) == 1)) << at << x.err;
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

}  // namespace
}  // namespace robust
