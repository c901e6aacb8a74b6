// The installation run through the wizard under failing and dying layers, for a fresh
// installation and for one over an older installation whose files, links and registry entries
// all differ from the payload's:
// - every counted file call from the press of "Installa" on (the payload's reads, the journal,
//   the folders, the files and their renames, the links' folders) fails in turn, once or from
//   then on;
// - the world stops after every change the run makes (file, folder, link, registry) and after
//   every journal record, and the installer starts again.
// Afterwards the machine is exactly as it was before the run, or, once the run has committed,
// exactly the complete installation: never anything in between. Success is told only then, and
// a failed run is never recorded.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "InstallFixture.h"
#include "shell/ShortCut.h"
#include "support/FaultFileSystem.h"
#include "support/FaultSweep.h"
#include "support/KillSwitch.h"
#include "support/MachineState.h"
#include "wizard/InstallJournal.h"
#include "wizard/Services.h"

namespace robust {
namespace {

struct Member {
  std::string stored;
  std::string installedAs;  // below the destination
  std::string content;
};

const std::vector<Member>& Members() {
  static const std::vector<Member> members = [] {
    std::string program, text;
    for (int i = 0; i < 3000; ++i) program += "istruzione " + std::to_string(i * 7919 % 1000) + ";";
    for (int i = 0; i < 200; ++i) text += "riga " + std::to_string(i) + "\r\n";
    return std::vector<Member>{{"c:\\src\\Lumidesk.exe", "Lumidesk.exe", program},
                               {"c:\\src\\leggimi.txt", "Modelli\\leggimi.txt", text},
                               {"c:\\src\\vuoto.rvf", "ModelliRTF\\vuoto.rvf", ""},
                               {"c:\\src\\lumidesk.hlp", "lumidesk.hlp", text + text}};
  }();
  return members;
}

// What the machine holds before the run.
struct Scenario {
  const char* name;
  const char* id;      // the test's name
  bool older;          // an earlier installation: other bytes and dates, its links and record
  bool registrations;  // the browser and Find-menu registrations switched on
};
void PrintTo(const Scenario& scenario, std::ostream* os) { *os << scenario.name; }

constexpr Scenario kScenarios[] = {
    {"fresh", "Fresh", false, false},
    {"over an older installation", "OverAnOlderOne", true, false},
    {"over an older installation, registrations on", "WithRegistrations", true, true},
};

// One run in a fresh scratch drive and registry.
class ScenarioRun : public wizardtest::InstallTest {
 public:
  void TestBody() override {}

  explicit ScenarioRun(const Scenario& scenario) : scenario_(scenario) {
    if (scenario.older) WriteOlderInstallation();
  }
  ~ScenarioRun() override { gui_.OnMessageBox = nullptr; }

  // The wizard on its installation page, over these layers; the state before the press.
  void Open(plat::FileSystem* files, plat::Shell* shell, plat::RegistryBackend* registry) {
    services_.UseFiles(files).UseShell(shell);
    if (registry != nullptr) services_.UseRegistry(registry);
    std::vector<archive::WriterMember> members;
    for (const Member& m : Members()) members.push_back(wizardtest::MemoryMember(m.stored, m.content));
    auto& w = OpenAtInstallPage(members);
    w.MyShortCut1->CreateToTrova = scenario_.registrations;
    w.MyShortCut1->CreateToExplorer = scenario_.registrations;
    before = State();
    // The state at the moment the run tells its success: committed, not yet recorded.
    gui_.OnMessageBox = [this](const gui::HeadlessBackend::BoxRecord& box) {
      if (box.title == wizard::kInstallDoneTitle) {
        atSuccess = State();
        productAtSuccess = State(false, false);
        if (onSuccess) onSuccess();
      }
      return plat::mb::kIdOk;
    };
  }

  // The whole state: the destination, the journal's folder, the links' folders and the
  // registry. Without links, a link whose folder could not be made is left out without a word,
  // as every link step is; without the registry, the record written at closing.
  std::string State(bool links = true, bool registry = true) const {
    std::string appData;
    plat::SystemShell().SpecialFolderPath(plat::SpecialFolder::kCommonAppData, appData);
    std::vector<std::string> folders = {Dest(), appData};
    if (links) {
      folders.push_back(SpecialFolder(plat::SpecialFolder::kStartMenu));
      folders.push_back(SpecialFolder(plat::SpecialFolder::kDesktopDirectory));
    }
    return testsupport::MachineState(folders, Base(), registry ? &registry_ : nullptr);
  }

  bool Told(const std::string& title) const { return BoxesTitled(title) > 0; }
  bool InstallPressed() { return PressInstall(); }
  const std::vector<gui::HeadlessBackend::BoxRecord>& Boxes() const { return gui_.Boxes(); }

  // The next start, on the platform's own file layer.
  void UseRealFiles() { services_.UseFiles(nullptr); }
  // The installer ends (its window goes without closing, unless it closed already) and starts
  // again.
  void Restart() {
    if (!app_.Terminated()) delete form_;
    form_ = nullptr;
    gui_.ClearBoxes();
    StartWizard();
  }
  bool Ended() const { return app_.Terminated(); }
  bool JournalThere() const {
    std::string appData;
    plat::SystemShell().SpecialFolderPath(plat::SpecialFolder::kCommonAppData, appData);
    return plat::RealFileSystem().FileExists(wizard::JournalPath(appData));
  }

  std::string before;
  std::string atSuccess;
  std::string productAtSuccess;
  std::function<void()> onSuccess;

 private:
  void WriteOlderInstallation() {
    ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(InDest("Modelli")));
    ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(InDest("ModelliRTF")));
    for (const Member& m : Members()) {
      auto out = plat::RealFileSystem().Create(InDest(m.installedAs));
      const std::string old = "versione 2.0 di " + m.installedAs;
      out->WriteBuffer(old.data(), static_cast<std::int32_t>(old.size()));
      out->SetDosDateTime(0x4A8B6000);
    }
    auto own = plat::RealFileSystem().Create(InDest("appunti.txt"));
    own->WriteBuffer("un file dell'utente", 19);
    own->SetDosDateTime(0x4A8C6000);
    own.reset();
    // Its links and registrations, made as the component makes them, in the fixture's registry.
    shell::TMyShortCut older(nullptr, plat::SystemShell(), plat::RealFileSystem(), registry_);
    older.ExeName = "Lumidesk.exe";
    older.GruppoProgrammiName = "Lumidesk";
    older.LinkName = "Lumidesk";
    older.DescrizioneExeInForder = "versione 2.0";
    older.FilePathName = InDest("Lumidesk.exe");
    older.IconPathName = InDest("vecchia.ico");
    older.MenuText = "versione 2.0";
    older.CreateDeskTopLink = older.CreateFolder = older.CreateToAvvio = true;
    older.CreateToTrova = older.CreateToExplorer = scenario_.registrations;
    older.CreateLink();
    WriteRecord({{"RootDir", Dest() + "\\Zentaro.exe"}, {"version", "2.0"}, {"Cognome", "Rossi"}});
  }

  Scenario scenario_;
};

// The state of a complete installation in this scenario, from a run with nothing failing:
// whole, and the product's folder with the registry alone.
struct CompleteState {
  std::string product;   // the product's folder, at the success box
  std::string whole;     // everything, at the success box
  std::string recorded;  // everything, once the window has closed and written the record
};
CompleteState Complete(const Scenario& scenario) {
  ScenarioRun r(scenario);
  r.Open(nullptr, nullptr, nullptr);
  EXPECT_TRUE(r.InstallPressed());
  EXPECT_TRUE(r.Told(wizard::kInstallDoneTitle)) << scenario.name;
  EXPECT_NE(r.atSuccess, r.before) << scenario.name;
  return {r.productAtSuccess, r.atSuccess, r.State()};
}

// After a run that did not tell success: the machine as before, at once or, when the stop
// message says some changes could not be undone, after the next start.
void ExpectUndone(ScenarioRun& r, const CompleteState& complete, const std::string& where) {
  ASSERT_FALSE(r.Boxes().empty()) << where;
  const std::string& told = r.Boxes().back().text;
  if (told.find(wizard::kUndoFailedText) == std::string::npos) {
    EXPECT_EQ(r.State(), r.before) << where << ": " << told;
    return;
  }
  r.UseRealFiles();
  r.Restart();
  ASSERT_TRUE(r.Told(wizard::kInterruptedTitle)) << where;
  // A commit record that reached the disk, though its writing failed and the record of the
  // rollback could not follow it: the next start finishes the run instead. Whole either way.
  if (r.Boxes().back().text == wizard::kInterruptedFinishedText) {
    EXPECT_EQ(r.State(false, false), complete.product) << where;
    return;
  }
  EXPECT_EQ(r.State(), r.before) << where;
}

class InstallFaultTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(InstallFaultTest, EveryFileCallOfTheRunFailsInTurn) {
  const Scenario& scenario = GetParam();
  {
    const CompleteState complete = Complete(scenario);
    const long points = testsupport::SweepFaults([&](const testsupport::FaultPoint& p) {
      const std::string where = std::string(scenario.name) + ", " + p.Describe();
      ScenarioRun r(scenario);
      testsupport::FaultFileSystem faulty;
      r.Open(&faulty, nullptr, nullptr);
      faulty.FailAt(p.n, p.persistent);
      EXPECT_TRUE(r.InstallPressed()) << where;
      const bool fired = faulty.Fired();
      faulty.FailAt(0);
      if (r.Told(wizard::kInstallDoneTitle)) {
        EXPECT_TRUE(r.Ended()) << where;  // closed, and recorded at closing
        if (r.productAtSuccess != complete.product) {
          // A backup or the journal that could not be deleted at the commit: the next start
          // finishes the deleting.
          r.UseRealFiles();
          r.Restart();
          EXPECT_TRUE(r.Told(wizard::kInterruptedTitle)) << where;
          EXPECT_EQ(r.State(false, false), complete.product) << where;
        }
      } else {
        ExpectUndone(r, complete, where);
      }
      return fired;
    });
    EXPECT_GE(points, 40) << scenario.name;
    std::printf("installation run, %s: %ld file-layer fault points\n", scenario.name, points);
  }
}

TEST_P(InstallFaultTest, AKillAtEveryChangeAndEveryJournalRecordIsUndoneAtTheNextStart) {
  const Scenario& scenario = GetParam();
  {
    const CompleteState complete = Complete(scenario);
    for (const bool byRecord : {false, true}) {
      long kills = 0;
      for (long n = 1;; ++n) {
        const std::string where = std::string(scenario.name) + ", killed after " +
                                  (byRecord ? "journal record " : "change ") + std::to_string(n);
        ScenarioRun r(scenario);
        testsupport::KillSwitch power;
        testsupport::KillableFiles files(power);
        testsupport::KillableShell shell(power);
        testsupport::KillableRegistry registry(power, wizard::CurrentServices().Registry());
        r.Open(&files, &shell, &registry);
        // The run ends at its success box; closing, and the record written then, come after.
        r.onSuccess = [&power] { power.Off(); };
        if (byRecord) power.AfterFlushes(n);
        else power.AfterChanges(n);
        ASSERT_TRUE(r.InstallPressed()) << where;
        const bool succeeded = r.Told(wizard::kInstallDoneTitle);
        if (!power.Tripped()) {
          // Nothing left to stop: the run went through.
          EXPECT_TRUE(succeeded) << where;
          EXPECT_EQ(r.State(), complete.recorded) << where;
          break;
        }
        ++kills;
        power.Off();
        const bool journal = r.JournalThere();
        r.Restart();
        EXPECT_EQ(r.Told(wizard::kInterruptedTitle), journal) << where;
        // Killed before its commit record reached the disk, the run is undone; after, the next
        // start finishes it, whether the run lived to tell success (and to be recorded at
        // closing) or, with the flush of that record failing, told failure.
        const bool finished =
            journal && r.Boxes().back().text == wizard::kInterruptedFinishedText;
        const std::string& expected =
            succeeded ? complete.recorded : finished ? complete.whole : r.before;
        EXPECT_EQ(r.State(), expected) << where;
        ASSERT_LT(n, 2000) << where;
      }
      EXPECT_GE(kills, byRecord ? 8 : 30) << scenario.name;
      std::printf("installation run, %s: killed at %ld %s\n", scenario.name, kills,
                  byRecord ? "journal records" : "changes");
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Installations, InstallFaultTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           return std::string(info.param.id);
                         });

}  // namespace
}  // namespace robust
