// The restore under a failing file layer: every counted call (opens, creates, reads, writes,
// folder creation) fails in turn, once or from then on, and writes come up short as on a disk
// that fills up. Whatever fails, the run never answers true with a file missing or incomplete,
// reports its error once (by OnError or by an exception, never both), leaves no stream open and
// writes nothing outside the destination. The small archive is swept at every point; the
// synthetic payload (11 MB, about 2,100 counted calls) at a sample of points, in a file layer
// held in memory so that the sample can be wide. Then the same at the scale of one run, for the
// restore, the writer and lumipack: a destination that cannot be made, a missing input, and
// every counted call of a small run failing in turn.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>

#include "DamageFixtures.h"
#include "RobustSupport.h"
#include "support/FaultFileSystem.h"
#include "support/FaultSweep.h"
#include "support/MemoryFileSystem.h"
#include "support/ScratchDrive.h"

namespace robust {
namespace {

using testsupport::FaultFileSystem;
using testsupport::FaultPoint;
using testsupport::MemoryFileSystem;

// The sweeps of one run at a time: each call fails once in turn.
testsupport::SweepModes TransientUpTo(long limit) {
  testsupport::SweepModes modes;
  modes.persistent = false;
  modes.limit = limit;
  return modes;
}

enum class Mode { kTransient, kPersistent, kShortOnce, kDiskFull };

const char* ModeName(Mode m) {
  switch (m) {
    case Mode::kTransient: return "transient";
    case Mode::kPersistent: return "persistent";
    case Mode::kShortOnce: return "short write";
    case Mode::kDiskFull: return "disk full";
  }
  return "?";
}

class FaultInjectionTest : public testsupport::ScratchDriveTest {
 protected:
  // The file layer under the fault: the platform's own, or memory for the large sweep.
  void Use(plat::FileSystem& inner, const std::string& folder) {
    inner_ = &inner;
    faulty_ = std::make_unique<FaultFileSystem>(inner);
    counted_ = std::make_unique<StreamCounter>(*faulty_);
    folder_ = folder;
  }

  std::string SaveArchive(const std::vector<std::uint8_t>& bytes) {
    inner_->ForceDirectories(folder_ + "\\in");
    auto f = inner_->Create(folder_ + "\\in\\a.lpk");
    f->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return folder_ + "\\in\\a.lpk";
  }

  void Arm(Mode mode, long n) {
    faulty_->SetShortWrites(mode == Mode::kShortOnce || mode == Mode::kDiskFull);
    faulty_->FailAt(n, mode == Mode::kPersistent || mode == Mode::kDiskFull);
  }

  // Every file below folder_, relative to it.
  std::vector<std::string> AllFiles() {
    std::vector<std::string> out;
    std::vector<std::string> pending = {""};
    while (!pending.empty()) {
      const std::string rel = pending.back();
      pending.pop_back();
      for (const plat::DirEntry& e : inner_->ListDirectory(rel.empty() ? folder_ : folder_ + "\\" + rel)) {
        const std::string child = rel.empty() ? e.name : rel + "\\" + e.name;
        if (e.isDirectory) pending.push_back(child);
        else out.push_back(child);
      }
    }
    return out;
  }

  std::string ReadAll(const std::string& path) {
    auto f = inner_->OpenRead(path);
    std::string bytes(static_cast<std::size_t>(f->Size()), '\0');
    if (!bytes.empty()) f->ReadBuffer(&bytes[0], static_cast<std::int32_t>(bytes.size()));
    return bytes;
  }

  void RemoveAll(const std::string& folder) {
    for (const plat::DirEntry& e : inner_->ListDirectory(folder)) {
      const std::string child = folder + "\\" + e.name;
      if (e.isDirectory) RemoveAll(child);
      else inner_->DeleteFile(child);
    }
    inner_->RemoveDir(folder);
  }

  // One run with the fault armed at n; checks every promise and cleans the destination.
  // Returns the run's result.
  bool RunAndCheck(const std::string& archivePath, const std::vector<Expected>& expected,
                   Mode mode, long n) {
    Arm(mode, n);
    const std::string dest = folder_ + "\\out";
    const RunOutcome o = RestoreFile(*counted_, archivePath, dest);
    const std::string where = std::string(ModeName(mode)) + " fault at call " +
                              std::to_string(n) + ": " + o.Describe();

    EXPECT_EQ(counted_->Open(), 0) << where;
    // Reported once: by the one OnError at the end, or by the exception, never both.
    EXPECT_LE(o.reports.size(), 1u) << where;
    if (o.threw || o.result) {
      EXPECT_TRUE(o.reports.empty()) << where;
    }
    if (!o.threw && !o.result) {
      EXPECT_EQ(o.reports.size(), 1u) << where;
    }

    // Nothing outside the destination; a member is under its name only whole. A failed run may
    // leave a part file (when even deleting it fails), never altered: at most cut short.
    std::set<std::string> present;
    for (const std::string& f : AllFiles()) {
      if (f == "in\\a.lpk") continue;
      if (f.compare(0, 4, "out\\") != 0) {
        ADD_FAILURE() << where << ": written outside the destination: " << f;
        continue;
      }
      present.insert(f.substr(4));
    }
    for (const Expected& e : expected) {
      const std::string name = FlatName(e.name);
      const std::string part = archive::PartName(name);
      if (present.erase(part) > 0) {
        EXPECT_FALSE(o.result) << where << ": " << part << " left after a success";
        const std::string partial = ReadAll(dest + "\\" + part);
        EXPECT_EQ(partial, e.content.substr(0, partial.size())) << where << ": " << part;
      }
      if (!present.count(name)) {
        EXPECT_FALSE(o.result) << where << ": " << name << " missing after a success";
        continue;
      }
      present.erase(name);
      EXPECT_EQ(ReadAll(dest + "\\" + name), e.content) << where << ": " << name;
    }
    EXPECT_TRUE(present.empty()) << where << ": an unexpected file";
    RemoveAll(dest);
    return o.result;
  }

  // The number of counted calls of a run without a fault.
  long CallsOfACleanRun(const std::string& archivePath, Mode mode) {
    Arm(mode, 0);
    const RunOutcome o = RestoreFile(*counted_, archivePath, folder_ + "\\out");
    EXPECT_TRUE(o.result) << o.Describe();
    RemoveAll(folder_ + "\\out");
    return faulty_->Count();
  }

  plat::FileSystem* inner_ = nullptr;
  std::unique_ptr<FaultFileSystem> faulty_;
  std::unique_ptr<StreamCounter> counted_;
  std::string folder_;
};

TEST_F(FaultInjectionTest, SmallArchiveEveryCallFailsInTurn) {
  Use(plat::RealFileSystem(), Base());
  const std::string archivePath = SaveArchive(SmallArchive());
  long points = 0;
  for (Mode mode : {Mode::kTransient, Mode::kPersistent, Mode::kShortOnce, Mode::kDiskFull}) {
    int failures = 0;
    long n = 1;
    for (;; ++n) {
      const bool ok = RunAndCheck(archivePath, SmallMembers(), mode, n);
      if (!faulty_->Fired()) {
        EXPECT_TRUE(ok) << ModeName(mode) << ": the run past the last call must succeed";
        break;
      }
      if (!ok) ++failures;
      ASSERT_LT(n, 10000) << "the sweep does not end";
    }
    points += n - 1;
    std::printf("  %s: %ld\n", ModeName(mode), n - 1);
    // Every thrown fault fails the run; a transient short write is made up by writing the
    // rest, so those runs succeed.
    if (mode != Mode::kShortOnce) EXPECT_EQ(failures, n - 1) << ModeName(mode);
    else EXPECT_EQ(failures, 0);
  }
  std::printf("small archive: %ld fault points\n", points);
}

TEST_F(FaultInjectionTest, SyntheticPayloadAtASampleOfCalls) {
  MemoryFileSystem memory;
  Use(memory, "c:\\drive");
  memory.ForceDirectories("c:\\drive");
  const std::string archivePath = SaveArchive(SyntheticArchive());
  long points = 0;
  for (Mode mode : {Mode::kTransient, Mode::kPersistent, Mode::kDiskFull}) {
    const long total = CallsOfACleanRun(archivePath, mode);
    ASSERT_GT(total, 100);
    // The opening calls, the last ones and an even spread between them.
    std::set<long> sample;
    const long spread = mode == Mode::kTransient ? 16 : 8;
    for (long n = 1; n <= 4; ++n) sample.insert(n);
    for (long k = 1; k < spread; ++k) sample.insert(total * k / spread);
    for (long n = total - 1; n <= total; ++n) sample.insert(n);
    for (long n : sample) {
      EXPECT_FALSE(RunAndCheck(archivePath, SyntheticMembers(), mode, n))
          << ModeName(mode) << " at " << n;
      EXPECT_TRUE(faulty_->Fired());
    }
    points += static_cast<long>(sample.size());
    std::printf("  %s: %zu of %ld calls\n", ModeName(mode), sample.size(), total);
  }
  std::printf("synthetic payload: %ld fault points\n", points);
}

// One run at a time: the restore, the writer and lumipack.
using namespace testsupport;
using archive::TBackupFile;
using testsupport::Lumipack;

TEST_F(DamageTest, OutputFileOrFolderThatCannotBeMade) {
  const std::string archivePath =
      Save(Build({Member("c:\\m\\f.txt", "f"), Member("c:\\m\\g.txt", "g")}));
  // A folder where the file should go: it cannot be created.
  ASSERT_TRUE(fs.ForceDirectories(Path("d1\\f.txt")));
  Outcome o = RunRestore(archivePath, Path("d1"));
  EXPECT_FALSE(o.result);
  EXPECT_EQ(o.errorCode, 1);
  EXPECT_FALSE(fs.FileExists(Path("d1\\g.txt")));  // the run stopped
  ASSERT_EQ(o.log.errors.size(), 1u);

  // A file where the folder should go: the member cannot be written, so the run fails with
  // error 1, reported once, and the file in the way is left as it was.
  WriteWholeFile(Path("d2"), "in the way");
  Outcome failed = RunRestore(archivePath, Path("d2"));
  EXPECT_FALSE(failed.result);
  EXPECT_EQ(failed.errorCode, 1);
  ASSERT_EQ(failed.log.errors.size(), 1u);
  EXPECT_EQ(ReadWholeFile(Path("d2")), "in the way");
}

// Every counted file-layer call fails once in turn: no crash, no corrupt file, and a run that
// answers true has written every member it did not pass over.
TEST_F(DamageTest, EveryFileLayerFaultEndsCleanly) {
  const std::string a = Content(20000, 5);
  const std::string b = Content(3000, 6, false);
  const std::string archivePath =
      Save(Build({Member("c:\\f\\a.txt", a), Member("c:\\f\\b.bin", b)}));
  testsupport::FaultFileSystem faulty;
  bool sawFailure = false;
  testsupport::SweepFaults([&](const FaultPoint& p) {
    const long n = p.n;
    faulty.FailAt(n);
    const std::string dest = Path("run" + std::to_string(n));
    TBackupFile bf(nullptr, faulty);
    bf.OnError = [](TBackupFile*, std::int32_t, std::string) {};
    bool result = false;
    try {
      result = bf.Restore(archivePath, dest);
    } catch (const plat::Error&) {
      result = false;
    }
    const bool hasA = fs.FileExists(dest + "\\a.txt");
    const bool hasB = fs.FileExists(dest + "\\b.bin");
    // A file left behind is never corrupt: at most cut short, and whole after a success.
    auto check = [&](bool has, const std::string& file, const std::string& expected) {
      if (!has) return;
      const std::string written = ReadWholeFile(dest + "\\" + file);
      EXPECT_EQ(written, expected.substr(0, written.size())) << n << " " << file;
      if (result) {
        EXPECT_EQ(written.size(), expected.size()) << n << " " << file;
      }
    };
    check(hasA, "a.txt", a);
    check(hasB, "b.bin", b);
    if (!result) sawFailure = true;
    if (!faulty.Fired()) {
      EXPECT_TRUE(result);
      EXPECT_TRUE(hasA && hasB);
    }
    return faulty.Fired();
  }, TransientUpTo(200));
  EXPECT_TRUE(sawFailure);
}

TEST_F(DamageTest, WriterFaultsAreErrorsNeverSilent) {
  testsupport::FaultFileSystem faulty;
  testsupport::SweepFaults([&](const FaultPoint& p) {
    faulty.FailAt(p.n);
    archive::WriterOptions o;
    o.maxSize = 20000;
    archive::ArchiveWriter w(o, faulty);
    bool threw = false;
    try {
      w.WriteVolumes({Member("c:\\a", Content(30000, 7, false))},
                     Path("w" + std::to_string(p.n) + ".lpk"));
    } catch (const plat::Error&) {
      threw = true;
    }
    EXPECT_EQ(threw, faulty.Fired()) << p.n;
    return faulty.Fired();
  }, TransientUpTo(100));
}

TEST_F(LumipackDamageTest, MissingInputsAndUnwritableOutputsFailCleanly) {
  auto r = Lumipack({"verify", Path("absent.lpk")});
  EXPECT_EQ(1, r.status);
  EXPECT_EQ(0u, r.err.find("lumipack: " + Path("absent.lpk") + ": cannot be read")) << r.err;

  lumipack::CreateOptions o;
  o.out = Path("out.lpk");
  o.inputs = {"nothing-here"};
  auto c = testsupport::LumipackCreate(o, Base());
  EXPECT_EQ(1, c.status);
  EXPECT_NE(std::string::npos, c.err.find("no such file or folder"));
  EXPECT_FALSE(fs.FileExists(o.out));
  c = testsupport::LumipackCreate(o, Path("absent"));
  EXPECT_EQ(1, c.status);
  EXPECT_EQ("no such folder", c.err);

  WriteWholeFile(Path("f.txt"), std::string("data"));
  o.inputs = {"f.txt"};
  o.out = Path("no\\such\\folder\\out.lpk");
  c = testsupport::LumipackCreate(o, Base());
  EXPECT_EQ(1, c.status);
}

// Every counted file-layer call of an extraction and of a creation fails in turn: each run
// either succeeds completely or reports failure; none reports success with missing output.
TEST_F(LumipackDamageTest, AFileLayerFaultAnywhereIsNeverASuccess) {
  WriteWholeFile(Path("a.lpk"), Sound());
  const std::string text = testsupport::Prose(20000);
  testsupport::FaultFileSystem faulty;
  testsupport::SweepFaults([&](const FaultPoint& p) {
    testsupport::RemoveTree(Path("x"));
    faulty.FailAt(p.n);
    const auto r = Lumipack({"extract", Path("a.lpk"), "-d", Path("x")}, faulty);
    if (faulty.Fired()) {
      EXPECT_EQ(1, r.status) << p.Describe();
      EXPECT_EQ(1, testsupport::Lines(r.err)) << p.n << r.err;
    } else {
      EXPECT_EQ(0, r.status) << r.err;
      EXPECT_EQ(text, testsupport::ReadWholeFile(Path("x\\text.txt")));
    }
    return faulty.Fired();
  }, TransientUpTo(500));

  fs.ForceDirectories(Path("in"));
  WriteWholeFile(Path("in\\t.txt"), text);
  testsupport::SweepFaults([&](const FaultPoint& p) {
    std::ostringstream out, err;
    lumipack::Context ctx{out, err, faulty, false};
    lumipack::CreateOptions o;
    o.out = Path("made.lpk");
    o.inputs = {"in"};
    o.baseFolder = Base();
    faulty.FailAt(p.n);
    bool ok = true;
    try {
      lumipack::Create(o, ctx);
    } catch (const std::exception&) {
      ok = false;
    }
    EXPECT_EQ(!faulty.Fired(), ok) << p.Describe();
    if (!ok) {
      EXPECT_FALSE(fs.FileExists(o.out)) << "a partial archive is left, " << p.Describe();
    }
    return faulty.Fired();
  }, TransientUpTo(500));
  EXPECT_EQ(0, Lumipack({"verify", Path("made.lpk")}).status);
}

}  // namespace
}  // namespace robust
