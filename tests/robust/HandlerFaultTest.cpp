// The host's event handlers failing during a restore: a handler that throws leaves the run with
// its exception and no report, one that throws while a file is written is error 1, and the
// progress a run reports when there is nothing to inflate.
#include <gtest/gtest.h>

#include "DamageFixtures.h"

namespace robust {
namespace {

using namespace testsupport;
using archive::TBackupFile;

TEST_F(DamageTest, HandlersThatThrowLeaveTheRunWithoutReport) {
  const std::string archivePath = Save(Build({Member("c:\\m\\f.txt", "f")}));
  enum Which { kRestoreFile, kFileRestored, kFinalProgress };
  for (Which which : {kRestoreFile, kFileRestored, kFinalProgress}) {
    TBackupFile bf;
    EventLog log;
    log.Attach(bf);
    if (which == kRestoreFile) {
      bf.OnRestoreFile = [](TBackupFile*, std::string&, std::int32_t, bool&) {
        throw plat::Error("handler");
      };
    } else if (which == kFileRestored) {
      bf.OnFileRestored = [](TBackupFile*, std::string&, plat::FileStream&) {
        throw plat::Error("handler");
      };
    } else {
      bf.OnProgress = [](TBackupFile*, std::string file, archive::TPercentage, bool&) {
        if (file.empty()) throw plat::Error("handler");
      };
    }
    EXPECT_THROW(bf.Restore(archivePath, Path("h")), plat::Error) << which;
    EXPECT_TRUE(log.errors.empty()) << which;
    auto s = fs.OpenRead(archivePath);
    EXPECT_FALSE(bf.RestoreFromStream(s.get(), Path("h"))) << which;
    EXPECT_TRUE(log.errors.empty()) << which;
  }
}

TEST_F(DamageTest, NeedDiskHandlerThatThrowsLeavesTheRun) {
  archive::WriterOptions o;
  o.maxSize = 20000;
  archive::ArchiveWriter(o).WriteVolumes({Member("c:\\d\\f.bin", Content(30000, 8, false))},
                                         Path("nd.lpk"));
  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  bf.OnNeedDisk = [](TBackupFile*, std::uint16_t, bool&) { throw plat::Error("no disk"); };
  EXPECT_THROW(bf.Restore(Path("nd.lpk"), Path("out")), plat::Error);
  EXPECT_TRUE(log.errors.empty());
  auto s = fs.OpenRead(Path("nd.lpk"));
  s->SetPosition(0);
  EXPECT_FALSE(bf.RestoreFromStream(s.get(), Path("out")));  // the marker ends a stream run
}

TEST_F(DamageTest, ProgressHandlerThrowingWhileWritingIsError1) {
  const std::string archivePath = Save(Build({Member("c:\\m\\f.txt", Content(30000, 4))}));
  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  int calls = 0;
  bf.OnProgress = [&](TBackupFile*, std::string file, archive::TPercentage, bool&) {
    ++calls;
    if (!file.empty()) throw plat::Error("progress");
  };
  EXPECT_FALSE(bf.Restore(archivePath, Path("p")));
  EXPECT_EQ(bf.ErrorCode(), 1);
  ASSERT_EQ(log.errors.size(), 1u);
  EXPECT_EQ(log.errors[0].second, "Cannot read file");
  EXPECT_EQ(calls, 2);  // the throwing one, then the final one
}

TEST_F(DamageTest, EmptyFilesOnlyGiveAFullPercentage) {
  archive::WriterOptions o;
  o.writeCatalogue = false;
  const std::string archivePath =
      Save(Build({Member("c:\\e\\one", ""), Member("c:\\e\\two", "")}, o));
  Outcome out = RunRestore(archivePath, Path("e"));
  EXPECT_TRUE(out.result);
  ASSERT_EQ(out.log.progress.size(), 3u);
  for (const auto& p : out.log.progress) EXPECT_EQ(p.percent, 100);
  EXPECT_TRUE(fs.FileExists(Path("e\\two")));
}

}  // namespace
}  // namespace robust
