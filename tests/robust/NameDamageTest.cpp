// Member names that lead out of the destination or that Windows cannot hold: the restore refuses
// the target it would write, in full-path and flat mode and after the host has renamed it, and
// lumipack extract refuses such names before it writes anything.
#include <gtest/gtest.h>

#include "DamageFixtures.h"

namespace robust {
namespace {

using namespace testsupport;
using archive::TBackupFile;
using testsupport::Lumipack;

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

TEST_F(LumipackDamageTest, NamesWindowsCannotHoldAreRefusedBeforeAnythingIsWritten) {
  for (const char* name : {"c:\\d\\CON.txt", "c:\\d\\a?b", "c:\\d\\dot."}) {
    const std::string bytes = ArchiveBytes().Header("T", 2, 2).Member("c:\\d\\good.txt", kWhen, "g")
                                  .Member(name, kWhen, "x").Int(0).Str();
    ExpectFailure(bytes, {"extract", "-d", Path("out")}, "cannot be written safely", name);
    EXPECT_FALSE(fs.DirectoryExists(Path("out"))) << name;
  }
  const std::string full = ArchiveBytes().Header("T", 1, 1).Member("c:\\nul\\a.txt", kWhen, "x").Int(0).Str();
  ExpectFailure(full, {"extract", "--full-path", "-d", Path("out")}, "cannot be written safely",
                "device folder");
}

TEST_F(LumipackDamageTest, NamesLeadingOutOfTheDestinationAreRefused) {
  const std::string flat = ArchiveBytes().Header("T", 1, 1).Member("c:\\a/../../evil.txt", kWhen, "x").Int(0).Str();
  ExpectFailure(flat, {"extract", "-d", Path("x\\y")}, "c:\\a/../../evil.txt: its name leads outside", "slash");
  const std::string full = ArchiveBytes().Header("T", 1, 1).Member("c:\\..\\evil.txt", kWhen, "x").Int(0).Str();
  ExpectFailure(full, {"extract", "--full-path", "-d", Path("x\\y")}, "its name leads outside", "dots");
  EXPECT_FALSE(fs.FileExists(Path("evil.txt")));
  EXPECT_FALSE(fs.FileExists(Path("x\\evil.txt")));
  EXPECT_FALSE(fs.DirectoryExists(Path("x")));
  // The same names are sound in flat mode when they stay inside.
  WriteWholeFile(Path("ok.lpk"), full);
  EXPECT_EQ(0, Lumipack({"extract", Path("ok.lpk"), "-d", Path("x\\y")}).status);
  EXPECT_TRUE(fs.FileExists(Path("x\\y\\evil.txt")));
}

}  // namespace
}  // namespace robust
