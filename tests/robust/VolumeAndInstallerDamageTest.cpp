// What lies around the members: the volume marker and the next volume, and an installer's stub,
// payload trailer and end. The installer checks its own payload before it writes: a sound one
// passes with its summary and progress, a truncated one is found by the scan already, and a
// volume marker has no place in it.
#include <gtest/gtest.h>

#include "DamageFixtures.h"
#include "support/ArchiveMap.h"

namespace robust {
namespace {

using namespace testsupport;
using archive::TBackupFile;
using testsupport::Lumipack;

TEST_F(ArchiveCheckTest, ASoundInstallerPassesBothChecksWithItsSummary) {
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

TEST_F(ArchiveCheckTest, ProgressRunsOverThePayloadToItsEnd) {
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

TEST_F(ArchiveCheckTest, TruncationsAreFoundByTheScanAlready) {
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

TEST_F(ArchiveCheckTest, AVolumeMarkerInAnInstallerIsRefused) {
  // An installer holds one volume; splice a marker into a sound archive.
  std::vector<std::uint8_t> archiveBytes = SoundArchive();
  const testsupport::ArchiveMap raw = testsupport::ArchiveMap::Of(archiveBytes);
  const std::vector<std::uint8_t> marker = testsupport::ArchiveBytes().Text("NEXT:DISK002").b;
  archiveBytes.insert(archiveBytes.begin() + static_cast<std::ptrdiff_t>(raw.members[2].begin),
                      marker.begin(), marker.end());
  EXPECT_NE(Scan(Installer(archiveBytes)).find("a volume marker in an installer"),
            std::string::npos);
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

}  // namespace
}  // namespace robust
