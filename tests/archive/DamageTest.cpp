// Damaged archives, failing files and throwing handlers: what each run reports, and that
// nothing damaged is ever reported as success.
#include <gtest/gtest.h>

#include <functional>

#include "platform/Error.h"
#include "support/ArchiveBytes.h"
#include "support/ArchiveMap.h"
#include "support/FaultFileSystem.h"
#include "support/MessageBoxRecorder.h"
#include "support/RestoreEvents.h"
#include "support/ScratchDrive.h"
#include "support/SeededBytes.h"

namespace {

using namespace testsupport;
using archive::TBackupFile;
using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

class DamageTest : public testsupport::ScratchDriveTest {
 protected:
  plat::FileSystem& fs = plat::RealFileSystem();

  std::string Save(const std::vector<std::uint8_t>& bytes, const std::string& name = "a.lpk") {
    WriteWholeFile(Path(name), bytes);
    return Path(name);
  }

  // An archive by hand: header, no catalogue, one member "c:\m\f.bin" with the given blocks
  // (each written as its length and data), end markers.
  static std::vector<std::uint8_t> OneMember(
      const std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>>& blocks,
      std::int32_t totalSize = 100) {
    ArchiveBytes b;
    b.Header("t", totalSize, 1).MemberStart("c:\\m\\f.bin", kJuly2003);
    for (const auto& blk : blocks) b.Int(blk.first).Raw(blk.second);
    return b.Int(0).Int(0).b;
  }

  struct Outcome {
    bool result = false;
    bool threw = false;
    EventLog log;
    std::int32_t errorCode = 0;
  };
  Outcome RunRestore(const std::string& archivePath, const std::string& dest) {
    Outcome o;
    TBackupFile bf;
    o.log.Attach(bf);
    try {
      o.result = bf.Restore(archivePath, dest);
    } catch (const plat::Error&) {
      o.threw = true;
    }
    o.errorCode = bf.ErrorCode();
    return o;
  }
};

// ---- catalogue read ----

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

// ---- restore ----

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

TEST_F(DamageTest, FullPathNeverWritesOutsideTheDestination) {
  const char* names[] = {"c:\\..\\evil.txt", "c:\\a\\..\\..\\evil.txt", "c:\\\\evil.txt",
                         "c:\\d:\\evil.txt", "c:/../evil.txt", "ab"};
  for (const char* name : names) {
    const std::string archivePath =
        Save(Build({Member(name, "evil"), Member("c:\\ok.txt", "ok")}));
    TBackupFile bf;
    EventLog log;
    log.Attach(bf);
    bf.RestoreFullPath = true;
    EXPECT_FALSE(bf.Restore(archivePath, Path("in\\side"))) << name;
    EXPECT_EQ(bf.ErrorCode(), 1) << name;
    EXPECT_EQ(log.errors.size(), 1u) << name;
    EXPECT_EQ(log.restoreFile.size(), 1u) << name;  // the host is asked, then the run stops
    EXPECT_FALSE(fs.FileExists(Path("evil.txt"))) << name;
    EXPECT_FALSE(fs.FileExists(Path("in\\evil.txt"))) << name;
    EXPECT_FALSE(fs.FileExists(Base() + "\\..\\evil.txt")) << name;
  }
  // Without RestoreFullPath only the last name component is used: it stays inside.
  const std::string archivePath = Save(Build({Member("c:\\..\\evil.txt", "evil")}));
  Outcome flat = RunRestore(archivePath, Path("flat"));
  EXPECT_TRUE(flat.result);
  EXPECT_EQ(ReadWholeFile(Path("flat\\evil.txt")), "evil");
}

// Windows takes "/" as a separator too, so a last component holding "/.." must not lead out of
// the destination when only the file name is kept.
TEST_F(DamageTest, FlatRestoreRefusesASlashPathInTheFileName) {
  for (const char* name : {"c:\\a/../../evil.txt", "c:\\a\\..", "c:\\a\\"}) {
    const std::string archivePath =
        Save(Build({Member(name, "evil"), Member("c:\\ok.txt", "ok")}));
    Outcome out = RunRestore(archivePath, Path("in\\side"));
    EXPECT_FALSE(out.result) << name;
    EXPECT_EQ(out.errorCode, 1) << name;
    EXPECT_EQ(out.log.restoreFile.size(), 1u) << name;
    EXPECT_FALSE(fs.FileExists(Path("evil.txt"))) << name;
    EXPECT_FALSE(fs.FileExists(Path("in\\evil.txt"))) << name;
  }
}

// What is refused is the target a member would be written to once the host has seen it: a
// stored name that leads out is no error when the host renames or refuses the member, or the
// restore mode passes it over, and a host that leads a member out is refused as well.
TEST_F(DamageTest, TheTargetIsCheckedAsItWouldBeWritten) {
  const std::string archivePath =
      Save(Build({Member("c:\\ok.txt", "ok"), Member("c:\\..\\evil.txt", "evil")}));
  const std::string dest = Path("in\\side") + "\\";
  auto isEvil = [](const std::string& name) { return plat::ExtractFileName(name) == "evil.txt"; };
  struct Case {
    const char* what;
    archive::TRestoreMode mode;
    std::function<void(std::string&, bool&)> host;
    bool result;
    std::vector<const char*> written;  // below the destination
  } cases[] = {
      {"left as it stands", archive::rmAll, [](std::string&, bool&) {}, false, {"ok.txt"}},
      {"renamed inside by the host", archive::rmAll,
       [&](std::string& name, bool&) { if (isEvil(name)) name = dest + "sub\\renamed.txt"; },
       true, {"sub\\renamed.txt", "ok.txt"}},
      {"refused by the host", archive::rmAll,
       [&](std::string& name, bool& doRestore) { if (isEvil(name)) doRestore = false; },
       true, {"ok.txt"}},
      {"passed over by the mode", archive::rmExisting, [](std::string&, bool&) {}, true, {}},
      {"led out by the host", archive::rmAll,
       [&](std::string& name, bool& doRestore) {
         if (isEvil(name)) doRestore = false;
         else name = Path("in\\outside.txt");
       },
       false, {}},
  };
  for (const Case& c : cases) {
    testsupport::RemoveTree(Path("in"));
    TBackupFile bf;
    EventLog log;
    log.Attach(bf);
    bf.RestoreFullPath = true;
    bf.RestoreMode = c.mode;
    bf.OnRestoreFile = [&](TBackupFile*, std::string& name, std::int32_t, bool& doRestore) {
      c.host(name, doRestore);
    };
    EXPECT_EQ(bf.Restore(archivePath, Path("in\\side")), c.result) << c.what;
    EXPECT_EQ(bf.ErrorCode(), c.result ? 0 : 1) << c.what;
    EXPECT_EQ(log.errors.size(), c.result ? 0u : 1u) << c.what;
    for (const char* file : c.written) {
      EXPECT_TRUE(fs.FileExists(dest + file)) << c.what << ": " << file;
    }
    EXPECT_EQ(bf.RestoredCount(), static_cast<std::int32_t>(c.written.size())) << c.what;
    EXPECT_FALSE(fs.FileExists(Path("in\\evil.txt"))) << c.what;
    EXPECT_FALSE(fs.FileExists(Path("in\\outside.txt"))) << c.what;
  }
}

// A volume marker is "NEXT:DISK" and three digits naming a later volume. One that names this
// volume or an earlier one would loop for ever, and so would a shorter one (found by fuzzing:
// "NEXT:DISK2" asked for disk 2, whose ".002" exists, while the reader looked for ".2").
TEST_F(DamageTest, VolumeMarkerMalformedOrPointingBackIsADamagedArchive) {
  auto volume = [](bool first, const std::string& marker) {
    ArchiveBytes b;
    if (first) {
      b.Header("t", 4, 1).MemberStart("c:\\m\\f.bin", kJuly2003).Int(-4).Raw("abcd");
    } else {
      b.Raw(std::string("EC2\0", 4));
    }
    b.Int(0);
    if (marker.empty()) {
      b.Int(0);  // the second volume ends the archive
    } else {
      b.Text(marker);
    }
    return b.b;
  };
  struct Case {
    const char* first;   // the marker ending the first volume
    const char* second;  // the marker ending loop.002, or "" for the end of the archive
    std::vector<int> disks;
  } cases[] = {
      {"NEXT:DISK002", "NEXT:DISK002", {2}},
      {"NEXT:DISK002", "NEXT:DISK001", {2}},
      {"NEXT:DISK2", "", {}},
      {"NEXT:DISK02", "", {}},
      {"NEXT:DISK002x", "", {}},
  };
  for (const Case& c : cases) {
    const std::string archivePath = Save(volume(true, c.first), "loop.lpk");
    Save(volume(false, c.second), "loop.002");
    TBackupFile bf;
    EventLog log;
    log.Attach(bf);
    // Goes on while the volume is there, as a user with the whole set would; stops after a few
    // asks, so that a reader that loops fails here rather than hangs.
    bf.OnNeedDisk = [&](TBackupFile* reader, std::uint16_t id, bool& cont) {
      log.disks.push_back(id);
      cont = fs.FileExists(reader->VolumeName()) && log.disks.size() < 5;
    };
    EXPECT_THROW(bf.Restore(archivePath, Path("out")), plat::Error) << c.first << " " << c.second;
    EXPECT_EQ(log.disks, c.disks) << c.first << " " << c.second;
    EXPECT_TRUE(log.errors.empty()) << c.first << " " << c.second;
  }
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
  for (long n = 1; n < 200; ++n) {
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
      break;
    }
  }
  EXPECT_TRUE(sawFailure);
}

TEST_F(DamageTest, WriterFaultsAreErrorsNeverSilent) {
  testsupport::FaultFileSystem faulty;
  for (long n = 1; n < 100; ++n) {
    faulty.FailAt(n);
    archive::WriterOptions o;
    o.maxSize = 20000;
    archive::ArchiveWriter w(o, faulty);
    bool threw = false;
    try {
      w.WriteVolumes({Member("c:\\a", Content(30000, 7, false))}, Path("w" + std::to_string(n) + ".lpk"));
    } catch (const plat::Error&) {
      threw = true;
    }
    EXPECT_EQ(threw, faulty.Fired()) << n;
    if (!faulty.Fired()) break;
  }
}

}  // namespace
