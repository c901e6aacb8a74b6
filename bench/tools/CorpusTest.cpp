// The corpus list and generators: malformed lists are refused with the line named, every kind
// gives exactly its size and the same bytes on every call, and each kind compresses the way
// the real thing does (the benchmark's figures depend on that mix).
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>

#include "bench/tools/Corpus.h"

namespace bench {
namespace {

double CompressedShare(const std::vector<std::uint8_t>& bytes) {
  uLongf n = compressBound(static_cast<uLong>(bytes.size()));
  std::vector<Bytef> out(n);
  EXPECT_EQ(compress2(out.data(), &n, bytes.data(), static_cast<uLong>(bytes.size()), 1), Z_OK);
  return static_cast<double>(n) / static_cast<double>(bytes.size());
}

TEST(CorpusList, ParsesLinesSkippingCommentsAndCarriageReturns) {
  const auto files = ParseCorpusList(
      "# a comment\n"
      "program/a.exe\tprogram\t1000\t7\r\n"
      "\n"
      "images/b.jpg\tjpeg\t20\t0\n");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].path, "program/a.exe");
  EXPECT_EQ(files[0].kind, "program");
  EXPECT_EQ(files[0].size, 1000u);
  EXPECT_EQ(files[0].seed, 7u);
  EXPECT_EQ(files[1].path, "images/b.jpg");
  EXPECT_EQ(files[1].seed, 0u);
}

TEST(CorpusList, RefusesMalformedLinesNamingThem) {
  struct Case {
    const char* line;
    const char* why;
  } cases[] = {
      {"a.exe\tprogram\t10", "three fields"},
      {"a.exe\tprogram\t10\t1\textra", "five fields"},
      {"a.exe program 10 1", "spaces instead of tabs"},
      {"a.exe\tvideo\t10\t1", "unknown kind"},
      {"/etc/a\tprogram\t10\t1", "absolute path"},
      {"../a\tprogram\t10\t1", "steps out"},
      {"x/../../a\tprogram\t10\t1", "steps out further down"},
      {"x//a\tprogram\t10\t1", "empty component"},
      {"x\\a\tprogram\t10\t1", "backslash"},
      {"a\tprogram\t0\t1", "empty file"},
      {"a\tprogram\t1000000001\t1", "over 1 GB"},
      {"a\tprogram\t-5\t1", "negative size"},
      {"a\tprogram\t10\tx", "seed not a number"},
      {"a\tprogram\t99999999999999999999\t1", "size overflows"},
  };
  for (const Case& c : cases) {
    try {
      ParseCorpusList("ok\thtml\t1\t1\n" + std::string(c.line) + "\n");
      ADD_FAILURE() << "accepted: " << c.why;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find("line 2"), std::string::npos) << c.why << ": " << e.what();
    }
  }
}

TEST(CorpusList, ScaledSizesKeepEveryFile) {
  EXPECT_EQ(ScaledSize(1000, 1.0), 1000u);
  EXPECT_EQ(ScaledSize(1000, 0.01), 10u);
  EXPECT_EQ(ScaledSize(50, 0.001), 1u);
}

TEST(CorpusContent, EveryKindHasItsSizeAndTheSameBytesEachTime) {
  for (const char* kind : {"program", "help", "document", "html", "jpeg", "photo", "bitmap"}) {
    for (std::uint64_t size : {1ull, 2ull, 100ull, 70001ull}) {
      CorpusFile f{"x/file.bin", kind, size, 42};
      const auto a = MakeContent(f, size);
      ASSERT_EQ(a.size(), size) << kind;
      EXPECT_EQ(a, MakeContent(f, size)) << kind << " is not deterministic";
      if (size > 1000) {
        f.seed = 43;
        EXPECT_NE(a, MakeContent(f, size)) << kind << " ignores its seed";
      }
    }
  }
}

TEST(CorpusContent, KindsCompressLikeTheirRealCounterparts) {
  const auto share = [](const char* kind) {
    return CompressedShare(MakeContent(CorpusFile{"f", kind, 400000, 3}, 400000));
  };
  EXPECT_GT(share("jpeg"), 0.95);  // already compressed
  EXPECT_LT(share("jpeg"), 1.0);   // but not pure noise
  EXPECT_GT(share("photo"), 0.4);
  EXPECT_LT(share("photo"), 0.9);
  EXPECT_LT(share("html"), 0.4);
  EXPECT_LT(share("help"), 0.5);
  EXPECT_LT(share("bitmap"), 0.3);
  EXPECT_LT(share("program"), 0.7);
}

TEST(CorpusContent, FilesCarryTheirFormatsMarkers) {
  const auto jpeg = MakeContent(CorpusFile{"a.jpg", "jpeg", 5000, 1}, 5000);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  EXPECT_EQ(jpeg[4998], 0xFF);
  EXPECT_EQ(jpeg[4999], 0xD9);
  const auto photo = MakeContent(CorpusFile{"a.bmp", "photo", 5000, 1}, 5000);
  EXPECT_EQ(photo[0], 'B');
  EXPECT_EQ(photo[1], 'M');
  EXPECT_EQ(photo[2] | photo[3] << 8, 5000);
  const auto program = MakeContent(CorpusFile{"a.dll", "program", 5000, 1}, 5000);
  EXPECT_EQ(program[0], 'M');
  EXPECT_EQ(program[1], 'Z');
}

// The committed list is the corpus every run uses: about 200 MB of every kind.
TEST(CorpusContent, TheCommittedListDescribesAbout200MBOfEveryKind) {
  std::ifstream in(LUMI_BENCH_CORPUS_LIST);
  ASSERT_TRUE(in) << LUMI_BENCH_CORPUS_LIST;
  std::ostringstream text;
  text << in.rdbuf();
  const auto files = ParseCorpusList(text.str());
  std::uint64_t total = 0;
  std::map<std::string, std::uint64_t> byKind;
  std::set<std::string> paths;
  for (const CorpusFile& f : files) {
    total += f.size;
    byKind[f.kind] += f.size;
    EXPECT_TRUE(paths.insert(f.path).second) << "listed twice: " << f.path;
  }
  EXPECT_GT(total, 190000000u);
  EXPECT_LT(total, 215000000u);
  EXPECT_EQ(byKind.size(), 7u);
}

}  // namespace
}  // namespace bench
