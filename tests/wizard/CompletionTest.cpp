// Closing the wizard: the install record after a successful run, nothing before a run or
// after an uninstall, and a record that cannot be written. One table of scenarios: the record
// before, the payload's title, the card and the folder, the user's steps (with the registry
// failing or healing between them), then the record, the message boxes and whether the
// installer ended.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "InstallFixture.h"
#include "platform/MemoryRegistry.h"

namespace wizardtest {
namespace {

using Op = plat::MemoryRegistry::Op;

struct Step {
  enum Kind { kInstall, kUninstall, kClose, kFail, kHeal } kind;
  bool endedAfter = false;  // the installer has ended after this step
  Op op = Op::SetValue;     // kFail: this registry call fails from now on ...
  const char* name = "";    // ... for this value or key
};
Step Install(bool ended) { return {Step::kInstall, ended}; }
Step Uninstall() { return {Step::kUninstall}; }
Step Close(bool ended) { return {Step::kClose, ended}; }
Step Fail(Op op, const char* name) { return {Step::kFail, false, op, name}; }
Step Heal() { return {Step::kHeal}; }

struct Scenario {
  const char* name;
  bool recordBefore;       // an older installation's record, so that the uninstall is usable
  const char* title;       // the payload's
  CardValues card;         // typed on the card
  bool femmina;            // "Femmina" checked instead of "Maschio"
  const char* folder;      // null: Dest()
  std::vector<Step> steps;
  bool recorded;           // a record afterwards: the folder's program, the title and the card
  std::vector<std::string> boxes;  // every message box's text, in order
  int exceptionBoxes;      // of which shown by the exception display
};
void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

const char* const kInstalled = wizard::kInstallDoneText;
const char kRootDirFailed[] = "Failed to set data for 'RootDir'";

// The address is kept as typed, blanks included.
const CardValues kTyped = {
    {"Cognome", "Rossi"}, {"Nome", "Maria"}, {"Indirizzo", " Via Roma 1 "},
    {"Citta", "Citt\xE0 di Castello"}, {"Prov", "PG"}, {"Eta", "42"},
    {"Tel", "333 1234567"}, {"Maschio", "True"}};

const Scenario kScenarios[] = {
    {"ASuccessfulRunRecordsTheTenValuesInOrder", false, "3.0.0.3", kTyped, false, nullptr,
     {Install(true)}, true, {kInstalled}, 0},
    // The default folder on the scratch drive's c: stands for the real one.
    {"TheDefaultFolderIsRecordedWithTheFixedProgramName", false, "3.0.0.3", {}, false,
     "c:\\programmi\\nortavia\\Lumidesk", {Install(true)}, true, {kInstalled}, 0},
    {"OnlyFemminaCheckedRecordsFalseAndTheEmptyCardTextsStayEmpty", false, "3.0.0.3", {}, true,
     nullptr, {Install(true)}, true, {kInstalled}, 0},
    {"AnEmptyCardAndAnEmptyTitleRecordEightEmptyTexts", false, "", {}, false, nullptr,
     {Install(true)}, true, {kInstalled}, 0},
    {"ClosingWithoutInstallingWritesNothing", false, "3.0.0.3", {}, false, nullptr,
     {Close(true)}, false, {}, 0},
    // The run's success closes the window; a close whose record fails keeps it open, so the
    // first close fails and the uninstall comes before the second.
    {"AnUninstallAfterTheRunMeansNothingIsWrittenAtClosing", true, "3.0.0.3", {}, false, nullptr,
     {Fail(Op::SetValue, "RootDir"), Install(false), Heal(), Uninstall(), Close(true)}, false,
     {kInstalled, kRootDirFailed, wizard::kUninstalledText}, 1},
    {"AnInstallationAfterAnUninstallInTheSameWindowIsRecorded", true, "3.0.0.3", {}, false,
     nullptr, {Uninstall(), Install(true)}, true, {wizard::kUninstalledText, kInstalled}, 0},
    // No rights under the machine root: the key cannot be created.
    {"ARecordThatCannotBeWrittenIsShownThenASecondCloseEndsTheInstaller", false, "3.0.0.3", {},
     false, nullptr, {Fail(Op::CreateKey, ""), Install(false), Close(true)}, false,
     {kInstalled, kRootDirFailed,
      "L'installazione non \xE8 stata registrata: non sar\xE0 possibile disinstallare Lumidesk "
      "da questo programma."},
     1},
    {"ASecondCloseWritesTheRecordWhenItCanBeWrittenByThen", false, "3.0.0.3", {}, false, nullptr,
     {Fail(Op::SetValue, "Nome"), Install(false), Heal(), Close(true)}, true,
     {kInstalled, "Failed to set data for 'Nome'"}, 1},
};

class CompletionTest : public InstallTest, public ::testing::WithParamInterface<Scenario> {
 protected:
  // The record's values as closing writes them.
  std::vector<std::string> RecordNames() const {
    return {"RootDir", "version", "Cognome", "Nome", "Indirizzo",
            "Citta",   "Prov",    "Eta",     "Tel",  "Maschio"};
  }
};

TEST_P(CompletionTest, Closing) {
  const Scenario& s = GetParam();
  if (s.recordBefore) WriteRecord({{"RootDir", Path("old\\Zentaro.exe")}});
  ObservedRegistry observed(registry_);
  services_.UseRegistry(&observed);
  WriteInstaller(InstallerPath(), s.title, {MemoryMember("c:\\src\\Lumidesk.exe", "p"),
                                            MemoryMember("c:\\src\\docs\\a.txt", "a")});
  online_ = true;
  auto& w = StartWizard();
  Tick();
  FillCard(w, s.card);
  w.CheckBox2->SetChecked(s.femmina);
  const std::string folder = s.folder ? s.folder : Dest();
  w.LabelDir->SetCaption(folder);

  for (const Step& step : s.steps) {
    switch (step.kind) {
      case Step::kInstall:
        w.Notebook1->SetPageIndex(kInstallPage);
        ASSERT_TRUE(PressInstall());
        EXPECT_TRUE(w.InstallDone());
        break;
      case Step::kUninstall:
        w.Notebook1->SetPageIndex(kWelcomePage);
        ASSERT_TRUE(gui_.Click(*w.Button14));
        EXPECT_TRUE(w.UninstallDone());
        EXPECT_FALSE(RecordExists());
        break;
      case Step::kClose:
        ASSERT_TRUE(gui_.ClickCloseBox(w));
        break;
      case Step::kFail:
        registry_.FailOn(step.op, step.name);
        break;
      case Step::kHeal:
        registry_.ClearFailures();
        break;
    }
    ASSERT_EQ(app_.Terminated(), step.endedAfter) << "after step " << (&step - &s.steps[0]);
    if (app_.Terminated()) EXPECT_EQ(w.LastCloseAction(), gui::TCloseAction::caFree);
    else EXPECT_TRUE(w.Visible());
  }

  std::vector<std::string> boxes;
  for (const auto& b : gui_.Boxes()) boxes.push_back(b.text);
  EXPECT_EQ(boxes, s.boxes);
  EXPECT_EQ(ExceptionBoxes(), s.exceptionBoxes);
  EXPECT_EQ(RecordExists(), s.recorded);
  if (s.recorded) {
    // Written in the record's order, straight through: the key was flushed.
    ASSERT_GE(observed.valuesSet.size(), RecordNames().size());
    EXPECT_EQ(std::vector<std::string>(observed.valuesSet.end() - RecordNames().size(),
                                       observed.valuesSet.end()),
              RecordNames());
    EXPECT_GE(registry_.FlushCount("HKEY_LOCAL_MACHINE\\SOFTWARE\\NORTAVIA\\Zentaro"), 1);
    EXPECT_EQ(RecordValue("RootDir"), folder + "\\Zentaro.exe");
    EXPECT_EQ(RecordValue("version"), s.title);
    // Each card text as typed, an empty one when none was; the check box as "True"/"False".
    for (const std::string& name : RecordNames()) {
      if (name == "RootDir" || name == "version") continue;
      std::string typed = name == "Maschio" ? "False" : "";
      for (const auto& v : s.card)
        if (v.first == name) typed = v.second;
      EXPECT_EQ(RecordValue(name), typed) << name;
    }
  }
  // Nothing went to the root key instead, and every handle was released.
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_FALSE(registry_.GetValue(plat::kHKeyLocalMachine, "", "RootDir", type, data));
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Records, CompletionTest, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace wizardtest
