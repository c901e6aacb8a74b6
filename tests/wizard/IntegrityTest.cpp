// The installer checks its own payload before it writes: a truncated file is found at start-up
// ("Installa" disabled, the status bar says why), damaged data when "Installa" is pressed (a
// stop message, nothing written, nothing recorded, the wizard still usable). Also the names a
// payload may not carry, and what a run that fails at its destination tells the user.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "InstallFixture.h"
#include "platform/Error.h"
#include "platform/FileSignature.h"
#include "tools/synthetic/SyntheticPayload.h"

namespace wizardtest {
namespace {

constexpr std::size_t kStubSize = 4096;  // WriteInstaller's stub, before the archive

// Text that deflates well: its compressed block is far smaller than the piece.
std::string Prose(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) text += "riga " + std::to_string(i * i) + "\n";
  return text;
}

class IntegrityTest : public InstallTest {
 protected:
  // Writes an installer of these members and hands its bytes to the test to spoil.
  std::string InstallerBytes(const std::vector<archive::WriterMember>& members) {
    WriteInstaller(InstallerPath(), "3.0.0.3", members);
    return testsupport::ReadWholeFile(InstallerPath());
  }
  wizard::TForm1& StartOnInstallPage() {
    online_ = true;
    auto& w = StartWizard();
    Tick();
    w.LabelDir->SetCaption(Dest());
    w.Notebook1->SetPageIndex(kInstallPage);
    return w;
  }
  // Nothing of the product reached the disk or the registry.
  void ExpectNothingInstalled(const wizard::TForm1& w) {
    EXPECT_FALSE(IsFolder(Dest()));
    EXPECT_FALSE(IsFile(DesktopLink()));
    EXPECT_FALSE(IsFile(StartMenuLink()));
    EXPECT_FALSE(w.InstallDone());
    EXPECT_FALSE(w.Installing());
    EXPECT_FALSE(RecordExists());
  }
};

TEST_F(IntegrityTest, ATruncatedDownloadIsFoundAtStartUp) {
  const std::string whole = InstallerBytes(synthetic::Members());
  struct Cut {
    std::size_t keep;
    bool trailerKept;  // a download that lost the payload's end but not the last four bytes
    const char* what;
  };
  const Cut cuts[] = {
      {whole.size() / 2, false, "half of the file"},
      {whole.size() - 5, false, "all but five bytes"},
      {kStubSize + 20, false, "the stub and the header"},
      {whole.size() / 2, true, "the payload's second half"},
      {whole.size() - 8, true, "the end-of-archive marker"},
  };
  for (const Cut& c : cuts) {
    std::string bytes = whole.substr(0, c.keep);
    if (c.trailerKept) bytes += whole.substr(whole.size() - 4);
    testsupport::WriteWholeFile(InstallerPath(), bytes);
    auto& w = StartOnInstallPage();
    EXPECT_TRUE(w.PayloadDamaged()) << c.what;
    EXPECT_FALSE(w.Button9->Enabled()) << c.what;
    EXPECT_EQ(w.StatusBar1->SimpleText(), wizard::kStatusPayloadDamaged) << c.what;
    // The other forward buttons keep following the connection.
    EXPECT_TRUE(w.Button2->Enabled()) << c.what;
    EXPECT_TRUE(w.Button4->Enabled()) << c.what;
    EXPECT_FALSE(PressInstall()) << c.what;
    EXPECT_EQ(ExceptionBoxes(), 0) << c.what;
    ExpectNothingInstalled(w);
    delete form_;
    gui_.ClearBoxes();
  }
}

TEST_F(IntegrityTest, TheDamagedStateOutlastsConnectionChanges) {
  const std::string whole = InstallerBytes({MemoryMember("c:\\src\\Lumidesk.exe", Prose(3000))});
  testsupport::WriteWholeFile(InstallerPath(), whole.substr(0, whole.size() - 12));
  online_ = false;
  auto& w = StartWizard();
  EXPECT_EQ(w.StatusBar1->SimpleText(), wizard::kStatusPayloadDamaged);
  online_ = true;
  Tick();
  EXPECT_TRUE(w.Button2->Enabled());
  EXPECT_FALSE(w.Button9->Enabled());
  EXPECT_EQ(w.StatusBar1->SimpleText(), wizard::kStatusPayloadDamaged);
  online_ = false;
  Tick();
  EXPECT_FALSE(w.Button2->Enabled());
  EXPECT_FALSE(w.Button9->Enabled());
  EXPECT_EQ(w.StatusBar1->SimpleText(), wizard::kStatusPayloadDamaged);
}

TEST_F(IntegrityTest, ASoundPayloadLeavesTheStatusToTheConnection) {
  InstallerBytes({MemoryMember("c:\\src\\Lumidesk.exe", "p")});
  auto& w = StartOnInstallPage();
  EXPECT_FALSE(w.PayloadDamaged());
  EXPECT_TRUE(w.Button9->Enabled());
  EXPECT_EQ(w.StatusBar1->SimpleText(), wizard::kStatusOnline);
}

TEST_F(IntegrityTest, DamagedDataStopsTheRunBeforeAnythingIsWritten) {
  // The program comes first: without the check its links and file would be made before the
  // damaged member is met.
  const std::string text = Prose(3000);
  const std::string whole = InstallerBytes({MemoryMember("c:\\src\\Lumidesk.exe", "program"),
                                            MemoryMember("c:\\src\\readme.txt", text)});
  struct Flip {
    std::size_t offsetFromEnd;
    const char* what;
  };
  // The readme's single block ends 4 (its end-of-member marker) + 4 (end-of-archive marker)
  // + 4 (trailer) bytes before the end of the file; its Adler-32 is the block's last 4 bytes.
  const Flip flips[] = {
      {12 + 1, "the last byte of the Adler-32"},
      {12 + 200, "a byte of deflate data"},
  };
  for (const Flip& f : flips) {
    std::string bytes = whole;
    bytes[bytes.size() - f.offsetFromEnd] ^= 0x01;
    testsupport::WriteWholeFile(InstallerPath(), bytes);
    auto& w = StartOnInstallPage();
    // Only the lengths and signatures are read at start-up: this damage is not seen yet.
    ASSERT_FALSE(w.PayloadDamaged()) << f.what;
    ASSERT_TRUE(w.Button9->Enabled()) << f.what;
    ASSERT_TRUE(PressInstall()) << f.what;
    ASSERT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1) << f.what;
    EXPECT_EQ(gui_.Boxes().back().text, wizard::kPayloadDamagedText) << f.what;
    EXPECT_EQ(gui_.Boxes().back().flags, plat::mb::kOk | plat::mb::kIconError) << f.what;
    EXPECT_EQ(gui_.Boxes().size(), 1u) << f.what;  // no English box from the engine
    ExpectNothingInstalled(w);
    EXPECT_TRUE(w.PayloadDamaged()) << f.what;
    EXPECT_FALSE(w.ProgressBar1->Visible()) << f.what;
    EXPECT_EQ(gui_.Cursor(), gui::crDefault) << f.what;
    EXPECT_EQ(w.StatusBar1->SimpleText(), wizard::kStatusPayloadDamaged) << f.what;
    EXPECT_FALSE(w.Button9->Enabled()) << f.what;
    // The wizard stays usable: back to the information page.
    EXPECT_FALSE(app_.Terminated()) << f.what;
    EXPECT_TRUE(gui_.Click(*w.Button10)) << f.what;
    EXPECT_EQ(w.Notebook1->PageIndex(), 3) << f.what;
    delete form_;
    gui_.ClearBoxes();
  }
}

TEST_F(IntegrityTest, ClosingAfterADamagedRunRecordsNothing) {
  std::string bytes = InstallerBytes({MemoryMember("c:\\src\\Lumidesk.exe", Prose(3000))});
  bytes[bytes.size() - 13] ^= 0x40;  // in the block's Adler-32
  testsupport::WriteWholeFile(InstallerPath(), bytes);
  auto& w = StartOnInstallPage();
  ASSERT_TRUE(PressInstall());
  ASSERT_TRUE(w.PayloadDamaged());
  EXPECT_TRUE(gui_.ClickCloseBox(w));
  EXPECT_TRUE(app_.Terminated());
  EXPECT_FALSE(RecordExists());
}

TEST_F(IntegrityTest, TheCheckShowsItsProgressOnTheBarThenTheRunInstalls) {
  WriteInstaller(InstallerPath(), "3.0.0.3", synthetic::Members());
  auto& w = StartOnInstallPage();
  const int repaintsBefore = gui_.RepaintCount(*w.ProgressBar1);
  int repaintsAtFirstMember = -1;
  std::string statusAtFirstMember;
  auto inner = w.BackupFile1->OnRestoreFile;
  w.BackupFile1->OnRestoreFile = [&](archive::TBackupFile* b, std::string& n, std::int32_t fa,
                                     bool& d) {
    if (repaintsAtFirstMember < 0) {
      repaintsAtFirstMember = gui_.RepaintCount(*w.ProgressBar1);
      statusAtFirstMember = w.StatusBar1->SimpleText();
      EXPECT_EQ(w.ProgressBar1->Position(), 0);  // the restore starts the bar afresh
    }
    inner(b, n, fa, d);
  };
  ASSERT_TRUE(PressInstall());
  EXPECT_TRUE(w.InstallDone());
  EXPECT_EQ(BoxesTitled(wizard::kInstallDoneTitle), 1);
  // One repaint per percent the check went through, 0 to 100.
  EXPECT_EQ(repaintsAtFirstMember - repaintsBefore, 101);
  EXPECT_EQ(statusAtFirstMember, wizard::kStatusOnline);
  EXPECT_EQ(RecordValue("RootDir"), Dest() + "\\Zentaro.exe");
}

TEST_F(IntegrityTest, AConnectionLostDuringTheCheckIsWhatTheStatusBarThenSays) {
  WriteInstaller(InstallerPath(), "3.0.0.3", {MemoryMember("c:\\src\\Lumidesk.exe", "p")});
  auto& w = StartOnInstallPage();
  ASSERT_EQ(w.StatusBar1->SimpleText(), wizard::kStatusOnline);
  // Delivered by the check's first message pump: the connection drops and a tick reports it.
  gui_.Post([&] {
    online_ = false;
    gui_.AdvanceClockQuietly(1000);
  });
  std::string statusAfterCheck = "<not seen>";
  auto inner = w.BackupFile1->OnRestoreFile;
  w.BackupFile1->OnRestoreFile = [&](archive::TBackupFile* b, std::string& n, std::int32_t fa,
                                     bool& d) {
    statusAfterCheck = w.StatusBar1->SimpleText();
    inner(b, n, fa, d);
  };
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(statusAfterCheck, wizard::kStatusOffline);
}

TEST_F(IntegrityTest, NamesWindowsCannotHoldStopTheRunBeforeItsFirstFile) {
  for (const char* stored : {"c:\\src\\CON.txt", "c:\\src\\com1", "c:\\src\\a?b.txt",
                             "c:\\src\\trailing.", "c:\\src\\tab\tname", "c:\\src\\a|b"}) {
    InstallerBytes({MemoryMember("c:\\src\\Lumidesk.exe", "program"),
                    MemoryMember(stored, "hostile")});
    auto& w = StartOnInstallPage();
    ASSERT_TRUE(PressInstall()) << stored;
    ASSERT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1) << stored;
    EXPECT_EQ(gui_.Boxes().back().text, wizard::kUnsafeNameText + std::string(stored)) << stored;
    ExpectNothingInstalled(w);
    EXPECT_FALSE(w.PayloadDamaged()) << stored;  // sound bytes, only a name refused
    delete form_;
    gui_.ClearBoxes();
  }
}

TEST_F(IntegrityTest, ADestinationThatCannotBeMadeIsNamedAndNotRecorded) {
  testsupport::WriteWholeFile(Path("afile"), "x");
  InstallerBytes({MemoryMember("c:\\src\\Lumidesk.exe", "program"),
                  MemoryMember("c:\\src\\b.dat", "b")});
  auto& w = StartOnInstallPage();
  const std::string dest = Path("afile\\Lumidesk");
  w.LabelDir->SetCaption(dest);
  ASSERT_TRUE(PressInstall());
  ASSERT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1);
  EXPECT_EQ(gui_.Boxes().back().text, std::string(wizard::kFolderNotCreatedText) + dest +
                                          wizard::kFolderNotCreatedAdvice +
                                          wizard::kRunUndoneText);
  EXPECT_EQ(gui_.Boxes().size(), 1u);
  EXPECT_FALSE(w.InstallDone());
  EXPECT_TRUE(gui_.ClickCloseBox(w));
  EXPECT_FALSE(RecordExists());
}

TEST_F(IntegrityTest, AFileHeldByAnotherProgramIsNamedAndNotRecorded) {
  // A file the user already has, which another program holds open without sharing: found by
  // the check before writing, or, when the program opens it only after that check, when the run
  // comes to move it aside. Either way it is named, the user's file is untouched and nothing of
  // the run is left.
  struct HeldFiles : testsupport::ProxyFileSystem {
    bool heldAtCheck = false;
    bool heldAtMove = false;
    bool CanOpenExclusive(const std::string& path) override {
      return !(heldAtCheck && plat::ExtractFileName(path) == "b.dat") &&
             ProxyFileSystem::CanOpenExclusive(path);
    }
    bool RenameFile(const std::string& from, const std::string& to) override {
      return !(heldAtMove && plat::ExtractFileName(from) == "b.dat") &&
             ProxyFileSystem::RenameFile(from, to);
    }
  };
  for (const bool atCheck : {true, false}) {
    SCOPED_TRACE(atCheck ? "held at the check" : "held when it is to be replaced");
    HeldFiles files;
    files.heldAtCheck = atCheck;
    files.heldAtMove = !atCheck;
    services_.UseFiles(&files);
    ASSERT_TRUE(testsupport::RemoveTree(Dest()));
    ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(Dest()));
    testsupport::WriteWholeFile(InDest("b.dat"), "the user's");
    auto& w = OpenAtInstallPage({MemoryMember("c:\\src\\Lumidesk.exe", "program"),
                                 MemoryMember("c:\\src\\b.dat", "b")});
    ASSERT_TRUE(PressInstall());
    ASSERT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1);
    const std::string named =
        std::string(wizard::kFileInUseText) + InDest("b.dat") + wizard::kFileInUseAdvice;
    EXPECT_EQ(gui_.Boxes().back().text, atCheck ? named : named + wizard::kRunUndoneText);
    EXPECT_EQ(gui_.Boxes().size(), 1u);
    EXPECT_EQ(testsupport::ReadWholeFile(InDest("b.dat")), "the user's");
    const std::vector<plat::DirEntry> left = plat::RealFileSystem().ListDirectory(Dest());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].name, "b.dat");
    EXPECT_FALSE(IsFile(DesktopLink()));
    EXPECT_FALSE(w.InstallDone());  // so closing records nothing
    delete form_;
    gui_.ClearBoxes();
  }
}

TEST_F(IntegrityTest, TooLittleRoomOnTheDriveIsRefusedBeforeAnythingIsWritten) {
  // The drive as the system reports it: the room left, asked of the deepest folder of the
  // destination that exists (a folder further down may be another drive mounted there).
  struct Drive : testsupport::ProxyFileSystem {
    std::int64_t free = 0;
    std::vector<std::string> asked;
    std::int64_t FreeSpace(const std::string& folder) override {
      asked.push_back(folder);
      return free;
    }
  };
  const std::vector<archive::WriterMember> members = {
      MemoryMember("c:\\src\\Lumidesk.exe", Prose(3000)), MemoryMember("c:\\src\\b.txt", "b")};
  const std::int64_t needed = wizard::SpaceNeeded(static_cast<std::int64_t>(Prose(3000).size()) + 1, 2);
  const struct {
    std::int64_t free;
    bool installed;
  } rows[] = {{needed - 1, false}, {needed, true}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.free);
    Drive drive;
    drive.free = row.free;
    services_.UseFiles(&drive);
    ASSERT_TRUE(testsupport::RemoveTree(Dest()));
    InstallerBytes(members);
    auto& w = StartOnInstallPage();
    ASSERT_TRUE(PressInstall());
    EXPECT_EQ(drive.asked, std::vector<std::string>{Base()});
    if (row.installed) {
      EXPECT_EQ(BoxesTitled(wizard::kInstallDoneTitle), 1);
      EXPECT_TRUE(IsFile(InDest("Lumidesk.exe")));
    } else {
      ASSERT_EQ(BoxesTitled(wizard::kInstallFailedTitle), 1);
      const std::string& told = gui_.Boxes().back().text;
      EXPECT_EQ(told.compare(0, std::strlen(wizard::kDiskSpaceText), wizard::kDiskSpaceText), 0)
          << told;
      EXPECT_NE(told.find(wizard::kDiskSpaceFreeText), std::string::npos) << told;
      ExpectNothingInstalled(w);
      delete form_;
    }
    gui_.ClearBoxes();
  }
}

TEST_F(IntegrityTest, ASignatureThatDoesNotMatchStopsTheInstallerAtStartUp) {
  // What the system says of a signed installer, and whether that makes it damaged: only a
  // signature that is there and does not match, not whether its signer is trusted.
  struct Case {
    plat::SignatureState state;
    std::uint32_t code;
    bool damaged;
    const char* what;
  };
  const Case cases[] = {
      {plat::SignatureState::kMismatch, 0x80096010u, true, "a bad digest"},
      {plat::SignatureState::kNotFound, 0x800B0100u, true, "a table with no readable signature"},
      {plat::SignatureState::kNotConfirmed, 0x800B0109u, false, "an untrusted root"},
      {plat::SignatureState::kNotConfirmed, 0x800B0101u, false, "an expired certificate"},
      {plat::SignatureState::kMatches, 0, false, "a trusted signature"},
      {plat::SignatureState::kUnchecked, 0, false, "no system to ask"},
  };
  // The sink is a plain function: what it answers and what it was asked live here.
  static plat::SignatureVerdict answer;
  static std::vector<std::string> asked;
  plat::SetSignatureCheckSink([](const std::string& path) {
    asked.push_back(path);
    return answer;
  });
  struct SinkReset {
    ~SinkReset() { plat::SetSignatureCheckSink(nullptr); }
  } reset;
  const std::vector<archive::WriterMember> members = {
      MemoryMember("c:\\src\\Lumidesk.exe", "program")};

  for (const Case& c : cases) {
    WriteSignedInstaller(InstallerPath(), "3.0.0.3", members);
    answer = {c.state, c.code};
    asked.clear();
    auto& w = StartOnInstallPage();
    EXPECT_EQ(asked, std::vector<std::string>{InstallerPath()}) << c.what;
    EXPECT_EQ(w.PayloadDamaged(), c.damaged) << c.what;
    EXPECT_EQ(w.Button9->Enabled(), !c.damaged) << c.what;
    EXPECT_EQ(w.VersionText(), "3.0.0.3") << c.what;  // the trailer before the table was found
    if (c.damaged) {
      EXPECT_EQ(w.StatusBar1->SimpleText(), wizard::kStatusPayloadDamaged) << c.what;
      EXPECT_NE(w.PayloadDamage().find(c.code == 0x80096010u ? "0x80096010" : "0x800B0100"),
                std::string::npos)
          << w.PayloadDamage();
      EXPECT_FALSE(PressInstall()) << c.what;
      ExpectNothingInstalled(w);
    }
    EXPECT_EQ(ExceptionBoxes(), 0) << c.what;
    delete form_;
    gui_.ClearBoxes();
  }

  // A bad digest found only when "Installa" is pressed (the file changed after start-up).
  answer = {plat::SignatureState::kMatches, 0};
  auto& w = StartOnInstallPage();
  answer = {plat::SignatureState::kMismatch, 0x80096010u};
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(gui_.Boxes().back().text, wizard::kPayloadDamagedText);
  ExpectNothingInstalled(w);
  delete form_;
  gui_.ClearBoxes();

  // Unsigned installers are not asked about, and bytes after the certificate table are damage
  // before any signature is looked at.
  asked.clear();
  WriteInstaller(InstallerPath(), "3.0.0.3", members);
  StartOnInstallPage();
  EXPECT_FALSE(form_->PayloadDamaged());
  delete form_;
  WriteSignedInstaller(InstallerPath(), "3.0.0.3", members);
  testsupport::WriteWholeFile(InstallerPath(),
                              testsupport::ReadWholeFile(InstallerPath()) + "appended");
  StartOnInstallPage();
  EXPECT_TRUE(form_->PayloadDamaged());
  EXPECT_NE(form_->PayloadDamage().find("bytes follow the certificate table"), std::string::npos)
      << form_->PayloadDamage();
  EXPECT_TRUE(asked.empty());
  delete form_;

  // A signer the system does not trust is no reason to refuse: the run installs, and the
  // signature is asked again before anything is written.
  WriteSignedInstaller(InstallerPath(), "3.0.0.3", members);
  answer = {plat::SignatureState::kNotConfirmed, 0x800B0109u};
  asked.clear();
  StartOnInstallPage();
  ASSERT_TRUE(PressInstall());
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_TRUE(IsFile(InDest("Lumidesk.exe")));
  EXPECT_EQ(BoxesTitled(wizard::kInstallDoneTitle), 1);
}

}  // namespace
}  // namespace wizardtest
