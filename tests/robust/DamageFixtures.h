// The fixtures of the damage tests, one per reader that meets a damaged archive: the restore
// engine (DamageTest), the installer's check of its own payload (ArchiveCheckTest) and lumipack
// (LumipackDamageTest), each with the sound samples its tests damage. The tests themselves are
// grouped by what is damaged or what fails, each file holding what every reader does with it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "archive/ArchiveCheck.h"
#include "archive/ArchiveWalker.h"
#include "archive/BackupFile.h"
#include "platform/Error.h"
#include "support/ArchiveBytes.h"
#include "support/DirectOutput.h"
#include "support/LumipackRun.h"
#include "support/RestoreEvents.h"
#include "support/ScratchDrive.h"
#include "support/SeededBytes.h"

namespace robust {

// The restore engine, TBackupFile, on archives in the scratch folder.
class DamageTest : public testsupport::ScratchDriveTest {
 protected:
  plat::FileSystem& fs = plat::RealFileSystem();

  std::string Save(const std::vector<std::uint8_t>& bytes, const std::string& name = "a.lpk") {
    testsupport::WriteWholeFile(Path(name), bytes);
    return Path(name);
  }

  // An archive by hand: header, no catalogue, one member "c:\m\f.bin" with the given blocks
  // (each written as its length and data), end markers.
  static std::vector<std::uint8_t> OneMember(
      const std::vector<std::pair<std::int32_t, std::vector<std::uint8_t>>>& blocks,
      std::int32_t totalSize = 100) {
    testsupport::ArchiveBytes b;
    b.Header("t", totalSize, 1).MemberStart("c:\\m\\f.bin", testsupport::kJuly2003);
    for (const auto& blk : blocks) b.Int(blk.first).Raw(blk.second);
    return b.Int(0).Int(0).b;
  }

  struct Outcome {
    bool result = false;
    bool threw = false;
    testsupport::EventLog log;
    std::int32_t errorCode = 0;
  };
  Outcome RunRestore(const std::string& archivePath, const std::string& dest) {
    Outcome o;
    archive::TBackupFile bf;
    // What the engine wrote of a damaged member is looked at, so it is kept.
    testsupport::DirectOutput direct;
    bf.SetMemberOutput(&direct);
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

// The strict walk on an installer's own open stream, as the installer checks itself: the cheap
// structural scan and the whole verification.
class ArchiveCheckTest : public ::testing::Test {
 protected:
  static constexpr std::size_t kStub = 300;

  // stub + archive + trailer, in memory.
  static std::vector<std::uint8_t> Installer(const std::vector<std::uint8_t>& archive) {
    return testsupport::Installer(archive, kStub);
  }

  static std::vector<std::uint8_t> SoundArchive() {
    using testsupport::Content;
    using testsupport::Member;
    return testsupport::Build({Member("c:\\a\\text.txt", Content(40000, 1)),
                               Member("c:\\a\\empty.dat", ""),
                               Member("c:\\a\\noise.bin", Content(20000, 2, false))});
  }

  // What the check says of these installer bytes; empty when it passes.
  static std::string Verify(const std::vector<std::uint8_t>& bytes) {
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

  static std::string Scan(const std::vector<std::uint8_t>& bytes) {
    plat::MemoryStream stream(bytes);
    try {
      archive::ArchiveWalker walker(stream, "setup.exe");
      archive::ScanArchive(walker);
      return std::string();
    } catch (const archive::WalkError& e) {
      return e.what();
    }
  }
};

// lumipack's commands, run in process on files in the scratch folder.
class LumipackDamageTest : public testsupport::ScratchDriveTest {
 protected:
  static constexpr std::uint32_t kWhen = testsupport::kJuly2003;

  // A small sound archive: catalogue, a two-block text, an empty file, a stored block.
  static std::string Sound() {
    const std::string text = testsupport::Prose(20000), noise = testsupport::Noise(100, 9, 23);
    const std::string catalogue = testsupport::CatalogueLine("c:\\d\\text.txt", kWhen, text.size()) +
                                  testsupport::CatalogueLine("c:\\d\\empty", kWhen, 0) +
                                  testsupport::CatalogueLine("c:\\d\\noise.bin", kWhen, noise.size());
    testsupport::ArchiveBytes b;
    b.Header("T", static_cast<std::int32_t>(catalogue.size() + text.size() + noise.size()), 3);
    b.Member("FILE:LIST", kWhen, catalogue)
        .Member("c:\\d\\text.txt", kWhen, text)
        .Member("c:\\d\\empty", kWhen, "")
        .Member("c:\\d\\noise.bin", kWhen, noise)
        .Int(0);
    return b.Str();
  }

  static std::string Installer() { return testsupport::Installer(Sound(), 512); }

  // The archive as an installer's payload, behind an 8-byte stub: a damaged header that would
  // make a file of its own no archive at all.
  static std::string AsPayload(const std::string& archive) {
    return testsupport::Installer(archive, 8);
  }

  // An archive with one file member "c:\d\f" whose data are the given bytes (signature on), and
  // a catalogue line claiming size bytes.
  static std::string OneMember(const std::function<void(testsupport::ArchiveBytes&)>& data,
                               std::size_t size = 1) {
    const std::string catalogue = testsupport::CatalogueLine("c:\\d\\f", kWhen, size);
    testsupport::ArchiveBytes b;
    b.Header("T", static_cast<std::int32_t>(catalogue.size() + size), 1)
        .Member("FILE:LIST", kWhen, catalogue)
        .MemberStart("c:\\d\\f", kWhen);
    data(b);
    return b.Str();
  }

  // Runs the command on bytes written to a fresh file; expects failure with one line naming
  // the file and containing what.
  void ExpectFailure(const std::string& bytes, const std::vector<std::string>& command,
                     const std::string& what, const std::string& label) {
    const std::string file = Path("case" + std::to_string(++counter_) + ".lpk");
    testsupport::WriteWholeFile(file, bytes);
    std::vector<std::string> args = {command[0], file};
    args.insert(args.end(), command.begin() + 1, command.end());
    const auto r = testsupport::Lumipack(args);
    EXPECT_EQ(1, r.status) << label << ": " << command[0] << "\n" << r.out;
    EXPECT_EQ(1, testsupport::Lines(r.err)) << label << ": " << r.err;
    EXPECT_EQ(0u, r.err.find("lumipack: " + file)) << label << ": " << r.err;
    EXPECT_NE(std::string::npos, r.err.find(what)) << label << ": " << r.err;
  }
  plat::FileSystem& fs = plat::RealFileSystem();
  int counter_ = 0;
};

}  // namespace robust
