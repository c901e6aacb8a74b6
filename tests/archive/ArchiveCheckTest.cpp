// The strict walk on an installer's own open stream, as the installer checks itself: the
// cheap structural scan and the whole verification, their progress, and the one inflate step
// every compressed block goes through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveWalker.h"
#include "archive/Payload.h"
#include "support/ArchiveBytes.h"
#include "support/ArchiveMap.h"
#include "support/SeededBytes.h"

namespace {

using testsupport::Build;
using testsupport::Content;
using testsupport::Member;

constexpr std::size_t kStub = 300;

// stub + archive + trailer, in memory.
std::vector<std::uint8_t> Installer(const std::vector<std::uint8_t>& archive) {
  return testsupport::Installer(archive, kStub);
}

std::vector<std::uint8_t> SoundArchive() {
  return Build({Member("c:\\a\\text.txt", Content(40000, 1)),
                Member("c:\\a\\empty.dat", ""),
                Member("c:\\a\\noise.bin", Content(20000, 2, false))});
}

// What the check says of these installer bytes; empty when it passes.
std::string Verify(const std::vector<std::uint8_t>& bytes) {
  plat::MemoryStream stream(bytes);
  try {
    archive::ArchiveWalker walker(stream, "setup.exe");
    archive::VerifyArchive(walker);
    return std::string();
  } catch (const archive::WalkError& e) {
    EXPECT_EQ(e.File(), "setup.exe");
    return e.what();
  }
}

std::string Scan(const std::vector<std::uint8_t>& bytes) {
  plat::MemoryStream stream(bytes);
  try {
    archive::ArchiveWalker walker(stream, "setup.exe");
    archive::ScanArchive(walker);
    return std::string();
  } catch (const archive::WalkError& e) {
    return e.what();
  }
}

TEST(ArchiveCheckTest, ASoundInstallerPassesBothChecksWithItsSummary) {
  const std::vector<std::uint8_t> file = Installer(SoundArchive());
  EXPECT_EQ(Scan(file), "");
  plat::MemoryStream stream(file);
  archive::ArchiveWalker walker(stream, "setup.exe");
  EXPECT_TRUE(walker.IsInstaller());
  EXPECT_EQ(walker.PayloadOffset(), kStub);
  const archive::ArchiveSummary s = archive::VerifyArchive(walker);
  EXPECT_EQ(s.files, 3u);
  EXPECT_EQ(s.fileBytes, 60000);
  EXPECT_EQ(s.blocks, 1 + 3 + 2);  // the catalogue's block too
  EXPECT_TRUE(s.hasCatalogue);
  EXPECT_TRUE(s.installer);
  EXPECT_EQ(s.fileNames, (std::vector<std::string>{"c:\\a\\text.txt", "c:\\a\\empty.dat",
                                                   "c:\\a\\noise.bin"}));
}

TEST(ArchiveCheckTest, TruncationsAreFoundByTheScanAlready) {
  const std::vector<std::uint8_t> whole = Installer(SoundArchive());
  for (std::size_t keep : {std::size_t{0}, std::size_t{3}, kStub, kStub + 10, whole.size() / 2,
                           whole.size() - 5, whole.size() - 1}) {
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + keep);
    EXPECT_NE(Scan(cut), "") << keep;
    EXPECT_NE(Verify(cut), "") << keep;
    // The same cut with the trailer put back: the payload ends early.
    if (keep > kStub + 4) {
      std::vector<std::uint8_t> patched = cut;
      patched.insert(patched.end(), whole.end() - 4, whole.end());
      EXPECT_NE(Scan(patched), "") << keep;
    }
  }
}

TEST(ArchiveCheckTest, DamagedDataPassesTheScanButNotTheVerification) {
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

TEST(ArchiveCheckTest, AVolumeMarkerInAnInstallerIsRefused) {
  // An installer holds one volume; splice a marker into a sound archive.
  std::vector<std::uint8_t> archiveBytes = SoundArchive();
  const testsupport::ArchiveMap raw = testsupport::ArchiveMap::Of(archiveBytes);
  const std::vector<std::uint8_t> marker = testsupport::ArchiveBytes().Text("NEXT:DISK002").b;
  archiveBytes.insert(archiveBytes.begin() + static_cast<std::ptrdiff_t>(raw.members[2].begin),
                      marker.begin(), marker.end());
  EXPECT_NE(Scan(Installer(archiveBytes)).find("a volume marker in an installer"),
            std::string::npos);
}

TEST(ArchiveCheckTest, ProgressRunsOverThePayloadToItsEnd) {
  const std::vector<std::uint8_t> file = Installer(SoundArchive());
  const std::int64_t payload = static_cast<std::int64_t>(file.size() - kStub - 4);
  for (bool full : {false, true}) {
    plat::MemoryStream stream(file);
    archive::ArchiveWalker walker(stream, "setup.exe");
    std::vector<std::int64_t> done;
    walker.SetProgress([&](std::int64_t d, std::int64_t total) {
      EXPECT_EQ(total, payload);
      done.push_back(d);
    });
    if (full) archive::VerifyArchive(walker);
    else archive::ScanArchive(walker);
    ASSERT_EQ(done.size(), 6u) << full;  // one report per block
    for (std::size_t i = 1; i < done.size(); ++i) EXPECT_GT(done[i], done[i - 1]);
    // The last report follows the last block; the two end markers remain.
    EXPECT_EQ(done.back(), payload - 8) << full;
  }
}

TEST(ArchiveCheckTest, InflateWholeBlockTellsEveryOutcome) {
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

}  // namespace
