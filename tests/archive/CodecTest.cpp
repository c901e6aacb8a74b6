// Block codecs: zlib's deflater gives compress2's bytes piece after piece, every codec answers
// every kind of block as zlib does, and a restore through each codec writes the same bytes
// and raises the same events, a damaged archive included.
#include <gtest/gtest.h>

#include "archive/BlockCodecs.h"
#include "support/ArchiveBytes.h"
#include "support/ArchiveMap.h"
#include "support/DirectOutput.h"
#include "support/RestoreEvents.h"
#include "support/ScratchDrive.h"
#include "support/SeededBytes.h"

namespace {

using namespace testsupport;
using archive::InflateResult;
using archive::InflateStatus;
using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

const std::uint8_t* U8(const std::string& s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

TEST(BlockCodec, ZlibDeflaterKeepsCompress2BytesAcrossPieces) {
  const std::vector<std::string> pieces = {
      Content(16384, 1),        Content(16384, 2, false), std::string(16384, '\0'),
      Content(1, 3),            Content(700, 4),          Content(16384, 5),
      Content(9000, 6, false),  std::string(2, 'x')};
  for (int level : {0, 1, 6, 9}) {
    // One deflater for every piece, as the writer uses it.
    std::unique_ptr<archive::BlockDeflater> deflater = archive::ZlibCodec().NewDeflater(level);
    for (const std::string& piece : pieces) {
      std::vector<std::uint8_t> out;
      const bool shorter = deflater->Deflate(U8(piece), static_cast<std::int32_t>(piece.size()), out);
      const std::vector<std::uint8_t> expected = Compress(piece, level);
      EXPECT_EQ(shorter, expected.size() < piece.size()) << level << " " << piece.size();
      EXPECT_EQ(out, expected) << level << " " << piece.size();
    }
  }
}

// One block of each kind a damaged or hostile archive can hold.
struct BlockCase {
  const char* what;
  std::vector<std::uint8_t> block;
  InflateStatus zlibStatus;
};

std::vector<BlockCase> BlockCases() {
  const std::string piece = Content(16384, 11);
  const std::vector<std::uint8_t> sound = Compress(piece, 1);
  std::vector<BlockCase> cases;
  cases.push_back({"sound", sound, InflateStatus::kOk});
  std::vector<std::uint8_t> trailing = sound;
  trailing.insert(trailing.end(), {1, 2, 3});
  cases.push_back({"bytes after the stream", trailing, InflateStatus::kTrailing});
  std::vector<std::uint8_t> cut = sound;
  cut.resize(cut.size() - 9);
  cases.push_back({"stream cut short", cut, InflateStatus::kTruncated});
  std::vector<std::uint8_t> badAdler = sound;
  badAdler.back() ^= 0x01;
  cases.push_back({"wrong Adler-32", badAdler, InflateStatus::kDamaged});
  std::vector<std::uint8_t> badCode = sound;
  for (std::size_t i = 40; i < 60; ++i) badCode[i] = 0xFF;
  cases.push_back({"damaged codes", badCode, InflateStatus::kDamaged});
  std::vector<std::uint8_t> dictionary = sound;
  dictionary[1] = 0x20;  // FDICT set; the header check holds: (0x78 * 256 + 0x20) % 31 == 0
  cases.push_back({"needs a dictionary", dictionary, InflateStatus::kDamaged});
  cases.push_back({"more than a piece", Compress(std::string(20000, 'a'), 1), InflateStatus::kTooLong});
  cases.push_back({"not zlib", std::vector<std::uint8_t>(64, 0xEE), InflateStatus::kDamaged});
  cases.push_back({"one byte", std::vector<std::uint8_t>{0x78}, InflateStatus::kTruncated});
  cases.push_back({"empty stream", Compress("", 1), InflateStatus::kOk});
  return cases;
}

TEST(BlockCodec, EveryCodecAnswersEveryBlockAsZlibDoes) {
  const std::vector<BlockCase> cases = BlockCases();
  const BlockCase& warmUp = cases[0];
  for (const BlockCase& c : cases) {
    std::vector<std::uint8_t> zlibOut(archive::kBlockSize);
    const InflateResult expected = archive::ZlibCodec().NewInflater()->Inflate(
        c.block.data(), c.block.size(), zlibOut.data(), zlibOut.size());
    EXPECT_EQ(expected.status, c.zlibStatus) << c.what;
    for (const std::string& name : archive::BlockCodecNames()) {
      const archive::BlockCodec* codec = archive::FindBlockCodec(name);
      ASSERT_NE(codec, nullptr) << name;
      // A used inflater must answer as a fresh one: inflate a sound block first.
      std::unique_ptr<archive::BlockInflater> inflater = codec->NewInflater();
      std::vector<std::uint8_t> out(archive::kBlockSize);
      ASSERT_TRUE(inflater->Inflate(warmUp.block.data(), warmUp.block.size(), out.data(), out.size())
                      .StreamEnded());
      out.assign(out.size(), 0);
      const InflateResult r = inflater->Inflate(c.block.data(), c.block.size(), out.data(), out.size());
      EXPECT_EQ(r.status, expected.status) << name << ": " << c.what;
      EXPECT_EQ(r.produced, expected.produced) << name << ": " << c.what;
      EXPECT_EQ(r.detail, expected.detail) << name << ": " << c.what;
      if (r.StreamEnded()) EXPECT_EQ(r.leftIn, expected.leftIn) << name << ": " << c.what;
      ASSERT_LE(r.produced, out.size());
      EXPECT_TRUE(std::equal(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(r.produced),
                             zlibOut.begin()))
          << name << ": " << c.what;
    }
  }
}

TEST(BlockCodec, UnknownNamesAreNotFoundAndZlibComesFirst) {
  EXPECT_EQ(archive::FindBlockCodec("zlib"), &archive::ZlibCodec());
  EXPECT_EQ(archive::FindBlockCodec("ZLIB"), nullptr);
  EXPECT_EQ(archive::FindBlockCodec(""), nullptr);
  ASSERT_FALSE(archive::BlockCodecNames().empty());
  EXPECT_EQ(archive::BlockCodecNames()[0], "zlib");
}

class CodecRestoreTest : public testsupport::ScratchDriveTest {
 protected:
  struct Run {
    bool result = false;
    std::int32_t errorCode = 0;
    EventLog log;
    std::vector<std::string> files;  // the restored files' bytes, in event order
  };

  Run Restore(const std::vector<std::uint8_t>& archiveBytes, const archive::BlockCodec& codec,
              const std::string& folder) {
    const std::string path = Path(folder + ".lpk");
    WriteWholeFile(path, archiveBytes);
    archive::TBackupFile bf;
    bf.SetBlockCodec(codec);
    // The damaged run's files are compared too: what each codec wrote before it stopped.
    testsupport::DirectOutput direct;
    bf.SetMemberOutput(&direct);
    Run run;
    run.log.Attach(bf);
    run.result = bf.Restore(path, Path(folder));
    run.errorCode = bf.ErrorCode();
    for (const auto& f : run.log.restoreFile) run.files.push_back(ReadWholeFile(f.first));
    // The folder differs between runs; the events must not otherwise.
    for (auto& f : run.log.restoreFile) f.first = plat::ExtractFileName(f.first);
    for (auto& f : run.log.restored) f = plat::ExtractFileName(f);
    for (auto& p : run.log.progress) p.file = plat::ExtractFileName(p.file);
    return run;
  }

  void ExpectSame(const Run& a, const Run& b, const std::string& codec) {
    EXPECT_EQ(a.result, b.result) << codec;
    EXPECT_EQ(a.errorCode, b.errorCode) << codec;
    EXPECT_EQ(a.log.restoreFile, b.log.restoreFile) << codec;
    EXPECT_EQ(a.log.restored, b.log.restored) << codec;
    EXPECT_EQ(a.log.errors, b.log.errors) << codec;
    ASSERT_EQ(a.log.progress.size(), b.log.progress.size()) << codec;
    for (std::size_t i = 0; i < a.log.progress.size(); ++i) {
      EXPECT_EQ(a.log.progress[i].file, b.log.progress[i].file) << codec << " event " << i;
      EXPECT_EQ(a.log.progress[i].percent, b.log.progress[i].percent) << codec << " event " << i;
    }
    ASSERT_EQ(a.files.size(), b.files.size()) << codec;
    for (std::size_t i = 0; i < a.files.size(); ++i) EXPECT_TRUE(a.files[i] == b.files[i]) << codec << " file " << i;
  }
};

TEST_F(CodecRestoreTest, EveryCodecRestoresTheSameBytesAndEvents) {
  const std::vector<archive::WriterMember> members = {
      Member("c:\\p\\program.exe", Content(200000, 21)),
      Member("c:\\p\\empty.txt", ""),
      Member("c:\\p\\noise.bin", Content(40000, 22, false)),  // stored blocks
      Member("c:\\p\\small.txt", Content(100, 23))};
  const std::vector<std::uint8_t> sound = Build(members);
  // The same archive with one damaged byte inside the third block of program.exe.
  std::vector<std::uint8_t> damaged = sound;
  const ArchiveMap raw = ArchiveMap::Of(sound);
  const BlockInfo& third = raw.members[1].blocks[2];
  damaged[third.offset + static_cast<std::size_t>(third.length) / 2] ^= 0x5A;

  const Run zlibSound = Restore(sound, archive::ZlibCodec(), "zs");
  EXPECT_TRUE(zlibSound.result);
  EXPECT_EQ(zlibSound.files[0], Content(200000, 21));
  const Run zlibDamaged = Restore(damaged, archive::ZlibCodec(), "zd");
  EXPECT_FALSE(zlibDamaged.result);
  EXPECT_EQ(zlibDamaged.errorCode, archive::kErrCompression);

  for (const std::string& name : archive::BlockCodecNames()) {
    const archive::BlockCodec& codec = *archive::FindBlockCodec(name);
    ExpectSame(Restore(sound, codec, name + "s"), zlibSound, name);
    ExpectSame(Restore(damaged, codec, name + "d"), zlibDamaged, name);
  }
  if (archive::FindBlockCodec("libdeflate") == nullptr) {
    GTEST_SKIP() << "this build has no libdeflate: only zlib was compared with itself";
  }
}

}  // namespace
