// Reading title and catalogue, and restoring: events, restore modes, target names, cancel.
#include <gtest/gtest.h>

#include "archive/Payload.h"
#include "platform/Error.h"
#include "platform/MessagePump.h"
#include "support/ArchiveBytes.h"
#include "support/ArchiveMap.h"
#include "support/DirectOutput.h"
#include "support/MessageBoxRecorder.h"
#include "support/RestoreEvents.h"
#include "support/ScratchDrive.h"
#include "support/SeededBytes.h"

namespace {

using namespace testsupport;
using archive::TBackupFile;
using testsupport::ReadWholeFile;
using testsupport::WriteWholeFile;

class RestoreTest : public testsupport::ScratchDriveTest {
 protected:
  plat::FileSystem& fs = plat::RealFileSystem();

  // Writes the archive to a file in the scratch folder and returns its path.
  std::string Save(const std::vector<std::uint8_t>& bytes, const std::string& name = "a.lpk") {
    const std::string p = Path(name);
    WriteWholeFile(p, bytes);
    return p;
  }
};

TEST(BackupFileComponent, PropertiesStartEmptyAndBehaveAsPublished) {
  TBackupFile bf;
  EXPECT_EQ(bf.GetVersion(), "5.10");
  bf.SetVersion("9.99");
  EXPECT_EQ(bf.GetVersion(), "5.10");
  EXPECT_EQ(bf.GetBackupMode(), archive::bmAll);
  EXPECT_EQ(bf.RestoreMode, archive::rmAll);
  EXPECT_EQ(bf.CompressionLevel, archive::clFastest);
  EXPECT_EQ(bf.MaxSize, 0);
  EXPECT_FALSE(bf.SetArchiveFlag || bf.RestoreFullPath || bf.SaveFileID);
  EXPECT_FALSE(bf.OnProgress || bf.OnNeedDisk || bf.OnRestoreFile || bf.OnFileRestored || bf.OnError);
  bf.SetBackupMode(archive::bmIncremental);
  EXPECT_TRUE(bf.SetArchiveFlag);
  bf.SetArchiveFlag = false;
  bf.SetBackupMode(archive::bmAll);
  EXPECT_FALSE(bf.SetArchiveFlag);

  static_assert(sizeof(archive::TRestoreMode) == 1 && sizeof(archive::TBackupMode) == 1 &&
                    sizeof(archive::TCompressionLevel) == 1, "enumerations are one byte");
  EXPECT_EQ(archive::rmExistingNewer, 4);
  EXPECT_EQ(archive::clMax, 3);
  const std::vector<std::string> order = {
      "Version", "BackupTitle", "BackupMode", "CompressionLevel", "RestoreMode", "MaxSize",
      "SetArchiveFlag", "OnProgress", "OnNeedDisk", "OnRestoreFile", "OnFileRestored", "OnError",
      "RestoreFullPath", "SaveFileID"};
  EXPECT_EQ(TBackupFile::PublishedProperties(), order);
}

TEST(BackupFileComponent, PercentageRoundsHalfToEvenAndIsDefinedForEmptyArchives) {
  struct Case {
    std::int64_t done, total;
    int percent;
  } cases[] = {
      {1, 200, 0},     // 0.5 -> 0
      {3, 200, 2},     // 1.5 -> 2
      {5, 200, 2},     // 2.5 -> 2
      {7, 200, 4},     // 3.5 -> 4
      {2, 3, 67},      // 66.67
      {199, 200, 100},  // 99.5 -> 100
      {0, 0, 100},     // nothing to do is all done
      {5, 0, 100},
      {10, 5, 100},    // more than the header said stays at 100
      {0, 10, 0},
      {2000000000, 2147483647, 93},  // no 32-bit overflow
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TBackupFile::Percentage(c.done, c.total), c.percent) << c.done << "/" << c.total;
  }
}

TEST(BackupFileComponent, ReportErrorUsesTheHandlerOrAnEnglishErrorBox) {
  TBackupFile bf;
  testsupport::MessageBoxRecorder boxes;
  bf.ReportError(6);
  bf.ReportError(8);
  ASSERT_EQ(boxes.Boxes().size(), 2u);
  EXPECT_EQ(boxes.Boxes()[0].text, "Compression error");
  EXPECT_EQ(boxes.Boxes()[0].title, "Error");
  EXPECT_EQ(boxes.Boxes()[0].flags, plat::mb::kOk | plat::mb::kIconError);
  EXPECT_EQ(boxes.Boxes()[1].text, "");

  EventLog log;
  log.Attach(bf);
  for (int code = 1; code <= 7; ++code) bf.ReportError(code);
  EXPECT_EQ(boxes.Boxes().size(), 2u);
  ASSERT_EQ(log.errors.size(), 7u);
  EXPECT_EQ(log.errors[0].second, "Cannot read file");
  EXPECT_EQ(log.errors[2].second, "Cannot read archive");
  EXPECT_EQ(log.errors[4].second, "Invalid archive type");
  EXPECT_EQ(log.errors[6].second, "Cannot create temporary file to save the file IDs");
}

TEST_F(RestoreTest, RoundTripIntoAFolderWithEventsInOrder) {
  const std::string text = Content(16385, 1);
  const std::string noise = Content(16384, 2, false);
  const std::vector<std::uint8_t> bytes =
      Build({Member("c:\\p\\text.txt", text, kJuly2003), Member("c:\\p\\empty.txt", "", kNov2004),
             Member("c:\\p\\q\\noise.bin", noise, kNov2004)});
  const std::string archivePath = Save(bytes);
  testsupport::MessageBoxRecorder boxes;
  int pumped = 0;
  auto previousPump = plat::SetMessagePump([&] { ++pumped; });

  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  const std::string dest = Path("out");  // no trailing backslash: one is added
  EXPECT_TRUE(bf.Restore(archivePath, dest));
  plat::SetMessagePump(previousPump);

  EXPECT_EQ(ReadWholeFile(dest + "\\text.txt"), text);
  EXPECT_EQ(ReadWholeFile(dest + "\\empty.txt"), "");
  EXPECT_EQ(ReadWholeFile(dest + "\\noise.bin"), noise);
  EXPECT_EQ(fs.FileAge(dest + "\\text.txt"), static_cast<std::int32_t>(kJuly2003));
  EXPECT_EQ(fs.FileAge(dest + "\\empty.txt"), static_cast<std::int32_t>(kNov2004));
  EXPECT_EQ(bf.RestoredCount(), 3);
  EXPECT_EQ(bf.FileCount(), 3);
  EXPECT_EQ(bf.ErrorCode(), 0);

  ASSERT_EQ(log.restoreFile.size(), 3u);  // none for the catalogue
  EXPECT_EQ(log.restoreFile[0].first, dest + "\\text.txt");
  EXPECT_EQ(log.restoreFile[0].second, static_cast<std::int32_t>(kJuly2003));
  EXPECT_EQ(log.restoreFile[2].first, dest + "\\noise.bin");
  EXPECT_EQ(log.restored, (std::vector<std::string>{dest + "\\text.txt", dest + "\\empty.txt",
                                                    dest + "\\noise.bin"}));
  // 2 + 0 + 1 blocks, one event per end-of-member marker, one final event
  ASSERT_EQ(log.progress.size(), 3u + 3u + 1u);
  EXPECT_EQ(log.progress[0].file, dest + "\\text.txt");
  EXPECT_EQ(log.progress[3].file, dest + "\\empty.txt");  // the empty file still reports once
  EXPECT_EQ(log.progress.back().file, "");
  EXPECT_EQ(log.progress.back().percent, 100);
  for (std::size_t i = 1; i < log.progress.size(); ++i) {
    EXPECT_GE(log.progress[i].percent, log.progress[i - 1].percent);
  }
  EXPECT_GE(pumped, 6);  // between blocks, the catalogue's skipped block included
  EXPECT_TRUE(log.errors.empty());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(RestoreTest, EmptyDestinationRestoresToTheStoredNames) {
  const std::string stored = Path("deep\\er\\f.txt");
  const std::string archivePath = Save(Build({Member(stored, "abc", kJuly2003)}));
  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  EXPECT_TRUE(bf.Restore(archivePath, ""));
  ASSERT_EQ(log.restoreFile.size(), 1u);
  EXPECT_EQ(log.restoreFile[0].first, stored);
  EXPECT_EQ(ReadWholeFile(stored), "abc");  // the folder chain was made
}

TEST_F(RestoreTest, HandlersRewriteTheTargetAndSeeTheOpenStream) {
  const std::string archivePath = Save(Build({Member("c:\\x\\f.txt", "abc")}));
  TBackupFile bf;
  bf.OnRestoreFile = [&](TBackupFile* sender, std::string& name, std::int32_t, bool& doRestore) {
    EXPECT_EQ(sender, &bf);
    EXPECT_TRUE(doRestore);  // rmAll presets true
    name = Path("dest\\routed\\g.txt");
  };
  bf.OnFileRestored = [](TBackupFile*, std::string&, plat::FileStream& stream) {
    stream.WriteBuffer("!", 1);
  };
  EXPECT_TRUE(bf.Restore(archivePath, Path("dest")));
  EXPECT_EQ(ReadWholeFile(Path("dest\\routed\\g.txt")), "abc!");
  EXPECT_FALSE(fs.FileExists(Path("dest\\f.txt")));
}

TEST_F(RestoreTest, FullPathKeepsTheStoredFoldersUnderTheDestination) {
  const std::string archivePath = Save(Build({Member("c:\\a\\b.txt", "b")}));
  TBackupFile bf;
  EXPECT_TRUE(bf.Restore(archivePath, Path("x")));
  EXPECT_EQ(ReadWholeFile(Path("x\\b.txt")), "b");
  bf.RestoreFullPath = true;
  EXPECT_TRUE(bf.Restore(archivePath, Path("x")));
  EXPECT_EQ(ReadWholeFile(Path("x\\a\\b.txt")), "b");
  EXPECT_EQ(bf.CurrentFile(), Path("x\\a\\b.txt"));
}

// Restore modes: member date-time kNov2004 against a file that is absent, older, equal, newer.
TEST_F(RestoreTest, RestoreModesDecideByExistenceAndDate) {
  enum Existing { kAbsent, kOlder, kEqual, kNewer };
  const std::int32_t member = static_cast<std::int32_t>(kNov2004);
  struct Case {
    archive::TRestoreMode mode;
    bool restores[4];  // absent, older, equal, newer
  } cases[] = {
      {archive::rmAll, {true, true, true, true}},
      {archive::rmNoOverwrite, {true, false, false, false}},
      {archive::rmNewer, {true, true, false, false}},
      {archive::rmExisting, {false, true, true, true}},
      {archive::rmExistingNewer, {false, true, false, false}},
  };
  const std::string archivePath = Save(Build({Member("c:\\m\\f.txt", "new", kNov2004)}));
  for (const Case& c : cases) {
    for (int e = kAbsent; e <= kNewer; ++e) {
      const std::string dest = Path("mode" + std::to_string(c.mode) + "_" + std::to_string(e));
      const std::string target = dest + "\\f.txt";
      if (e != kAbsent) {
        fs.ForceDirectories(dest);
        auto f = fs.Create(target);
        f->WriteBuffer("old", 3);
        const std::int32_t when = e == kOlder ? static_cast<std::int32_t>(kJuly2003)
                                  : e == kEqual ? member
                                                : member + (1 << 16);  // a day later
        ASSERT_TRUE(f->SetDosDateTime(when));
      }
      TBackupFile bf;
      bf.RestoreMode = c.mode;
      bool offered = false;
      bf.OnRestoreFile = [&](TBackupFile*, std::string&, std::int32_t, bool& doRestore) {
        offered = doRestore;
      };
      EXPECT_TRUE(bf.Restore(archivePath, dest));
      const bool restored = fs.FileExists(target) && ReadWholeFile(target) == "new";
      EXPECT_EQ(restored, c.restores[e]) << "mode " << int(c.mode) << " existing " << e;
      EXPECT_EQ(offered, c.restores[e]) << "mode " << int(c.mode) << " existing " << e;
      EXPECT_EQ(bf.RestoredCount(), c.restores[e] ? 1 : 0);
    }
  }
}

TEST_F(RestoreTest, CancelOnTheFirstProgressLeavesTheFirstBlockAndNoMessage) {
  const std::string data = Content(40000, 3);
  const std::string archivePath =
      Save(Build({Member("c:\\a\\big.txt", data, kJuly2003), Member("c:\\a\\next.txt", "n")}));
  testsupport::MessageBoxRecorder boxes;
  TBackupFile bf;
  int events = 0;
  bf.OnProgress = [&](TBackupFile*, std::string file, archive::TPercentage, bool& cont) {
    ++events;
    if (!file.empty()) cont = false;
  };
  // What the engine wrote before it stopped, kept by an output that writes in place.
  testsupport::DirectOutput direct;
  bf.SetMemberOutput(&direct);
  EXPECT_FALSE(bf.Restore(archivePath, Path("d")));
  EXPECT_EQ(ReadWholeFile(Path("d\\big.txt")), data.substr(0, 16384));
  EXPECT_EQ(fs.FileAge(Path("d\\big.txt")), static_cast<std::int32_t>(kJuly2003));
  EXPECT_FALSE(fs.FileExists(Path("d\\next.txt")));
  EXPECT_EQ(events, 2);  // the block's event and the final one
  EXPECT_EQ(bf.ErrorCode(), 0);
  EXPECT_TRUE(boxes.Boxes().empty());

  // The engine's own output never leaves part of a member under its name, nor its part file.
  bf.SetMemberOutput(nullptr);
  events = 0;
  EXPECT_FALSE(bf.Restore(archivePath, Path("e")));
  EXPECT_EQ(events, 2);
  EXPECT_TRUE(fs.ListDirectory(Path("e")).empty());
}

TEST_F(RestoreTest, RefusingEveryMemberWritesNothingAndSucceeds) {
  const std::string archivePath =
      Save(Build({Member("c:\\a\\one.txt", Content(20000, 4)), Member("c:\\a\\two.txt", "2")}));
  TBackupFile bf;
  EventLog log;
  log.Attach(bf);
  bf.OnRestoreFile = [&](TBackupFile*, std::string& name, std::int32_t, bool& doRestore) {
    log.restoreFile.emplace_back(name, 0);
    doRestore = false;
  };
  EXPECT_TRUE(bf.Restore(archivePath, Path("d")));
  EXPECT_EQ(log.restoreFile.size(), 2u);
  ASSERT_EQ(log.progress.size(), 1u);
  EXPECT_EQ(log.progress[0].percent, 100);
  EXPECT_FALSE(fs.DirectoryExists(Path("d")));
  EXPECT_EQ(bf.RestoredCount(), 0);
}

TEST_F(RestoreTest, CatalogueReadFromFileAndFromStream) {
  const std::vector<std::uint8_t> bytes =
      Build({Member("c:\\a\\one.txt", "1", kJuly2003), Member("c:\\a\\two.txt", "22", kNov2004)},
            [] {
              archive::WriterOptions o;
              o.title = "3.0.0.3";
              return o;
            }());
  const std::vector<std::string> lines = {
      "c:\\a\\one.txt\t" + std::to_string(static_cast<std::int32_t>(kJuly2003)) + "=1",
      "c:\\a\\two.txt\t" + std::to_string(static_cast<std::int32_t>(kNov2004)) + "=2"};
  TBackupFile bf;
  archive::TStringList list = {"old entry"};
  std::string title = "stale";
  bf.ReadFileList(Save(bytes), &list, title);
  EXPECT_EQ(title, "3.0.0.3");
  EXPECT_EQ(list, lines);
  EXPECT_EQ(bf.FileCount(), 2);
  EXPECT_EQ(bf.TotalSize(), LoadInt(bytes, 11));

  // Through a stream placed at the archive inside a larger file; it stays after the catalogue.
  plat::MemoryStream stream(std::vector<std::uint8_t>(100, 'x'));
  stream.SetPosition(100);
  stream.WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  stream.SetPosition(100);
  archive::TStringList fromStream;
  std::string title2;
  bf.ReadFileListFromStream(&stream, &fromStream, title2);
  EXPECT_EQ(title2, "3.0.0.3");
  EXPECT_EQ(fromStream, lines);
  const ArchiveMap raw = ArchiveMap::Of(bytes);
  EXPECT_EQ(stream.Position(), 100 + static_cast<std::int64_t>(raw.members[1].begin));

  // Without a list only the title is read.
  stream.SetPosition(100);
  std::string title3;
  bf.ReadFileListFromStream(&stream, nullptr, title3);
  EXPECT_EQ(title3, "3.0.0.3");
  // A null stream does nothing.
  std::string untouched = "keep";
  bf.ReadFileListFromStream(nullptr, &fromStream, untouched);
  EXPECT_EQ(untouched, "keep");
}

TEST_F(RestoreTest, WithoutCatalogueTheListStaysAndLowerCaseNameIsAFile) {
  archive::WriterOptions noCatalogue;
  noCatalogue.writeCatalogue = false;
  noCatalogue.title = "t";
  const std::vector<std::uint8_t> bytes =
      Build({Member("file:list", "a\r\nb\r\n"), Member("c:\\z.txt", "z")}, noCatalogue);
  const std::string archivePath = Save(bytes);
  TBackupFile bf;
  archive::TStringList list = {"kept"};
  std::string title;
  bf.ReadFileList(archivePath, &list, title);
  EXPECT_EQ(title, "t");
  EXPECT_EQ(list, archive::TStringList{"kept"});

  EventLog log;
  log.Attach(bf);
  EXPECT_TRUE(bf.Restore(archivePath, Path("d")));
  ASSERT_EQ(log.restoreFile.size(), 2u);
  EXPECT_EQ(log.restoreFile[0].first, Path("d\\list"));  // the text after the last ":"
  EXPECT_EQ(ReadWholeFile(Path("d\\list")), "a\r\nb\r\n");
}

TEST_F(RestoreTest, CatalogueLinesEndInCrLfCrOrLf) {
  // A catalogue written by hand: its text is given as one stored block.
  const std::string text = "one\r\ntwo\rthree\nfour";
  const std::vector<std::uint8_t> b = ArchiveBytes()
                                          .Header("t", 10, 0)
                                          .MemberStart("FILE:LIST", 0)
                                          .Int(-static_cast<std::int32_t>(text.size()))
                                          .Raw(text)
                                          .Int(0)
                                          .Int(0)
                                          .b;
  plat::MemoryStream s(b);
  TBackupFile bf;
  archive::TStringList list;
  std::string title;
  bf.ReadFileListFromStream(&s, &list, title);
  EXPECT_EQ(list, (archive::TStringList{"one", "two", "three", "four"}));
}

TEST_F(RestoreTest, InstallerPayloadIsFoundThroughTheTrailerAndRestoredFromTheStream) {
  std::vector<std::uint8_t> stub(5000, 0);
  stub[0] = 'M';
  stub[1] = 'Z';
  plat::MemoryStream stubStream(stub);
  const std::string exe = Path("setup.exe");
  {
    auto out = fs.Create(exe);
    archive::WriterOptions o;
    o.title = "3.0.0.3";
    archive::ArchiveWriter(o).WriteInstaller(
        stubStream, {Member("c:\\n\\l\\lumidesk.exe", Content(30000, 9), kJuly2003)}, *out);
  }
  auto payload = fs.OpenRead(exe);
  const std::uint32_t offset = archive::LocatePayload(*payload);
  EXPECT_EQ(offset, 5000u);
  TBackupFile bf;
  archive::TStringList list;
  std::string title;
  bf.ReadFileListFromStream(payload.get(), &list, title);
  EXPECT_EQ(title, "3.0.0.3");
  EXPECT_EQ(list.size(), 1u);
  payload->SetPosition(offset);  // the reader leaves the stream where it stopped
  EXPECT_TRUE(bf.RestoreFromStream(payload.get(), Path("inst")));
  EXPECT_EQ(ReadWholeFile(Path("inst\\lumidesk.exe")), Content(30000, 9));
  char c;
  EXPECT_EQ(payload->Read(&c, 1), 1);  // the caller's stream is still open: the trailer is left
}

}  // namespace
