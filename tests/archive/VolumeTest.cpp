// Archives split over volumes: the writer's cuts and the reader's volume changes.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Error.h"
#include "support/ArchiveBytes.h"
#include "support/ArchiveMap.h"
#include "support/MessageBoxRecorder.h"
#include "support/RestoreEvents.h"
#include "support/ScratchDrive.h"
#include "support/SeededBytes.h"

namespace {

using namespace testsupport;
using archive::TBackupFile;
using archive::WriterMember;
using testsupport::ReadWholeFile;

class VolumeTest : public testsupport::ScratchDriveTest {
 protected:
  plat::FileSystem& fs = plat::RealFileSystem();

  archive::WriteSummary WriteVolumes(const std::vector<WriterMember>& members, std::int64_t maxSize,
                                     const std::string& first) {
    archive::WriterOptions o;
    o.title = "v";
    o.maxSize = maxSize;
    return archive::ArchiveWriter(o).WriteVolumes(members, first);
  }

  std::vector<std::uint8_t> FileBytes(const std::string& path) {
    const std::string s = ReadWholeFile(path);
    return {s.begin(), s.end()};
  }
};

TEST_F(VolumeTest, MemberSplitOverThreeVolumesIsRestoredWhole) {
  const std::string big = Content(32768, 1, false);  // two stored blocks
  const std::string first = Path("set.lpk");
  const auto summary = WriteVolumes(
      {Member("c:\\a\\big.bin", big, kJuly2003), Member("c:\\a\\small.txt", "small")}, 16500,
      first);
  ASSERT_EQ(summary.volumes,
            (std::vector<std::string>{first, Path("set.002"), Path("set.003")}));
  for (const std::string& v : summary.volumes) {
    auto f = fs.OpenRead(v);
    EXPECT_LE(f->Size(), 16500) << v;
  }
  const ArchiveMap one = ArchiveMap::Of(FileBytes(first));
  EXPECT_EQ(one.volumeMarker, "NEXT:DISK002");
  ASSERT_EQ(one.members.size(), 2u);
  EXPECT_EQ(one.members[1].blocks.size(), 0u);  // the big member starts with no room left
  const ArchiveMap two = ArchiveMap::Of(FileBytes(Path("set.002")), true);
  EXPECT_EQ(two.members[0].blocks.size(), 1u);
  EXPECT_EQ(two.volumeMarker, "NEXT:DISK003");

  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  EXPECT_TRUE(bf.Restore(first, Path("out")));
  EXPECT_EQ(ReadWholeFile(Path("out\\big.bin")), big);
  EXPECT_EQ(ReadWholeFile(Path("out\\small.txt")), "small");
  EXPECT_EQ(fs.FileAge(Path("out\\big.bin")), static_cast<std::int32_t>(kJuly2003));
  EXPECT_EQ(log.disks, (std::vector<int>{2, 3}));
  EXPECT_EQ(log.progress.back().percent, 100);
  // OnFileRestored fires for each part of the split member.
  EXPECT_EQ(std::count(log.restored.begin(), log.restored.end(), Path("out\\big.bin")), 3);
}

TEST_F(VolumeTest, TwoVolumesWithTheDiskPromptAnsweredOk) {
  const std::string data = Content(30000, 2, false);
  const std::string first = Path("two.lpk");
  const auto summary = WriteVolumes({Member("c:\\d\\f.bin", data)}, 20000, first);
  ASSERT_EQ(summary.volumes.size(), 2u);
  testsupport::MessageBoxRecorder boxes({plat::mb::kIdOk});
  TBackupFile bf;
  EXPECT_TRUE(bf.Restore(first, Path("out")));
  EXPECT_EQ(ReadWholeFile(Path("out\\f.bin")), data);
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Please insert disk 2 and click OK to continue.");
  EXPECT_EQ(boxes.Boxes()[0].title, "Information");
  EXPECT_EQ(boxes.Boxes()[0].flags, plat::mb::kOkCancel | plat::mb::kIconInformation);
}

TEST_F(VolumeTest, PromptRepeatsForAMissingVolumeAndCancelStopsQuietly) {
  const std::string first = Path("gone.lpk");
  WriteVolumes({Member("c:\\d\\f.bin", Content(30000, 3, false)), Member("c:\\d\\g", "g")}, 20000,
               first);
  ASSERT_TRUE(fs.DeleteFile(Path("gone.002")));
  testsupport::MessageBoxRecorder boxes({plat::mb::kIdOk, plat::mb::kIdOk, plat::mb::kIdCancel});
  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  bf.OnNeedDisk = nullptr;  // the prompt
  bf.OnError = nullptr;
  EXPECT_FALSE(bf.Restore(first, Path("out")));
  EXPECT_EQ(boxes.Boxes().size(), 3u);  // only disk prompts: no error box
  EXPECT_EQ(bf.ErrorCode(), 0);
  EXPECT_FALSE(fs.FileExists(Path("out\\g")));
  EXPECT_EQ(log.progress.back().percent, 100);
}

TEST_F(VolumeTest, NeedDiskHandlerCanBringTheVolume) {
  const std::string first = Path("late.lpk");
  const std::string data = Content(30000, 4, false);
  WriteVolumes({Member("c:\\d\\f.bin", data)}, 20000, first);
  const std::string saved = ReadWholeFile(Path("late.002"));
  ASSERT_TRUE(fs.DeleteFile(Path("late.002")));
  TBackupFile bf;
  int asked = 0;
  bf.OnNeedDisk = [&](TBackupFile*, std::uint16_t id, bool& cont) {
    EXPECT_EQ(id, 2);
    EXPECT_TRUE(cont);
    if (++asked == 2) testsupport::WriteWholeFile(Path("late.002"), saved);
  };
  EXPECT_TRUE(bf.Restore(first, Path("out")));
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(ReadWholeFile(Path("out\\f.bin")), data);
}

TEST_F(VolumeTest, RefusedSplitMemberIsPassedOverOnTheNextVolume) {
  const std::string first = Path("skip.lpk");
  WriteVolumes({Member("c:\\d\\skip.bin", Content(30000, 5, false)), Member("c:\\d\\keep", "k")},
               20000, first);
  TBackupFile bf;
  bf.OnNeedDisk = [](TBackupFile*, std::uint16_t, bool&) {};
  bf.OnRestoreFile = [](TBackupFile*, std::string& name, std::int32_t, bool& doRestore) {
    doRestore = plat::ExtractFileName(name) == "keep";
  };
  EXPECT_TRUE(bf.Restore(first, Path("out")));
  EXPECT_FALSE(fs.FileExists(Path("out\\skip.bin")));
  EXPECT_EQ(ReadWholeFile(Path("out\\keep")), "k");
}

// Every cut the writer can make (inside a member, between members, right after the catalogue)
// reads back whole, and no volume is larger than asked.
TEST_F(VolumeTest, EveryVolumeSizeRoundTrips) {
  const std::vector<WriterMember> members = {
      Member("c:\\s\\a.bin", Content(150, 6, false)), Member("c:\\s\\empty", ""),
      Member("c:\\s\\b.txt", Content(90, 7, false)), Member("c:\\s\\c.bin", Content(40, 8, false))};
  int multi = 0;
  for (std::int64_t maxSize = 60; maxSize <= 500; maxSize += 7) {
    const std::string dir = Path("v" + std::to_string(maxSize));
    fs.ForceDirectories(dir);
    const std::string first = dir + "\\set.lpk";
    archive::WriteSummary summary;
    try {
      summary = WriteVolumes(members, maxSize, first);
    } catch (const plat::Error&) {
      continue;  // too small for some unit; larger sizes must work
    }
    if (summary.volumes.size() > 1) ++multi;
    for (const std::string& v : summary.volumes) {
      EXPECT_LE(fs.OpenRead(v)->Size(), maxSize) << v;
    }
    TBackupFile bf;
    bf.OnNeedDisk = [](TBackupFile*, std::uint16_t, bool&) {};
    ASSERT_TRUE(bf.Restore(first, dir + "\\out")) << maxSize;
    EXPECT_EQ(ReadWholeFile(dir + "\\out\\a.bin"), Content(150, 6, false)) << maxSize;
    EXPECT_EQ(ReadWholeFile(dir + "\\out\\empty"), "") << maxSize;
    EXPECT_EQ(ReadWholeFile(dir + "\\out\\b.txt"), Content(90, 7, false)) << maxSize;
    EXPECT_EQ(ReadWholeFile(dir + "\\out\\c.bin"), Content(40, 8, false)) << maxSize;
    EXPECT_EQ(bf.RestoredCount(), 4);
  }
  EXPECT_GT(multi, 20);
}

TEST_F(VolumeTest, VolumeSizeTooSmallIsRefused) {
  EXPECT_THROW(WriteVolumes({Member("c:\\a", Content(100, 9, false))}, 40, Path("tiny.lpk")),
               plat::Error);
  EXPECT_THROW(WriteVolumes({Member("c:\\a", Content(20000, 9, false))}, 16000, Path("t2.lpk")),
               plat::Error);
}

TEST_F(VolumeTest, VolumeMarkerThroughAStreamEndsWithAnErrorAndLeavesTheStream) {
  const std::string first = Path("s.lpk");
  WriteVolumes({Member("c:\\d\\f.bin", Content(30000, 10, false)), Member("c:\\d\\g", "g")}, 20000,
               first);
  auto stream = fs.OpenRead(first);
  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  EXPECT_FALSE(bf.RestoreFromStream(stream.get(), Path("out")));
  ASSERT_EQ(log.errors.size(), 1u);
  EXPECT_EQ(log.errors[0].first, 3);
  EXPECT_TRUE(log.disks.empty());
  EXPECT_EQ(log.progress.back().percent, 100);
  // The caller's stream is still open and usable.
  EXPECT_EQ(stream->Position(), stream->Size());
  stream->SetPosition(0);
  char c;
  EXPECT_EQ(stream->Read(&c, 1), 1);
}

TEST_F(VolumeTest, DamagedContinuationLeavesTheRunAtOnce) {
  const std::string first = Path("bad.lpk");
  WriteVolumes({Member("c:\\d\\f.bin", Content(30000, 11, false))}, 20000, first);
  std::string second = ReadWholeFile(Path("bad.002"));
  second[0] = 'X';  // the continuation's signature
  testsupport::WriteWholeFile(Path("bad.002"), second);
  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  EXPECT_THROW(bf.Restore(first, Path("out")), plat::Error);
  EXPECT_TRUE(log.errors.empty());
  EXPECT_TRUE(log.progress.empty() || log.progress.back().file != "");  // no final event
  EXPECT_FALSE(bf.RestoreFromStream(nullptr, Path("out")));
}

}  // namespace
