// The registry back end failing under the wizard's two writers: the install record at closing
// and the uninstall. Every registry call from the press of a button on fails in turn, once or
// from then on. Whatever fails, the window can always be closed (at most a second close), a
// record that is not complete is never left without the user being told, nothing is recorded
// after an uninstall, and no key handle stays open.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "InstallFixture.h"
#include "platform/MemoryRegistry.h"
#include "support/FaultSweep.h"
#include "support/ProxyRegistry.h"

namespace robust {
namespace {

// Passes every call to another registry and fails the N-th (transient) or the N-th and every
// later one (persistent) with "access denied".
class FaultRegistry : public testsupport::ProxyRegistry {
 public:
  explicit FaultRegistry(plat::RegistryBackend& inner) : ProxyRegistry(inner) {}
  void FailAt(long n, bool persistent) {
    failAt_ = n;
    persistent_ = persistent;
    calls_ = 0;
    fired_ = false;
  }
  bool Fired() const { return fired_; }
  long Calls() const { return calls_; }

  long OpenKey(plat::RegKey p, const std::string& s, plat::RegKey& r) override {
    return Trip() ? kDenied : Inner().OpenKey(p, s, r);
  }
  long OpenKeyRead(plat::RegKey p, const std::string& s, plat::RegKey& r) override {
    return Trip() ? kDenied : Inner().OpenKeyRead(p, s, r);
  }
  long CreateKey(plat::RegKey p, const std::string& s, plat::RegKey& r) override {
    return Trip() ? kDenied : Inner().CreateKey(p, s, r);
  }
  // A handle is released even when the call reports a failure, as the system does.
  long CloseKey(plat::RegKey k) override {
    const bool fail = Trip();
    const long rc = Inner().CloseKey(k);
    return fail ? kDenied : rc;
  }
  long FlushKey(plat::RegKey k) override { return Trip() ? kDenied : Inner().FlushKey(k); }
  long QueryValue(plat::RegKey k, const std::string& n, std::uint32_t& t,
                  std::vector<std::uint8_t>& d) override {
    return Trip() ? kDenied : Inner().QueryValue(k, n, t, d);
  }
  long SetValue(plat::RegKey k, const std::string& n, std::uint32_t t, const std::uint8_t* d,
                std::size_t s) override {
    return Trip() ? kDenied : Inner().SetValue(k, n, t, d, s);
  }
  long DeleteValue(plat::RegKey k, const std::string& n) override {
    return Trip() ? kDenied : Inner().DeleteValue(k, n);
  }
  long EnumKey(plat::RegKey k, std::uint32_t i, std::string& n) override {
    return Trip() ? kDenied : Inner().EnumKey(k, i, n);
  }
  long DeleteKey(plat::RegKey p, const std::string& s) override {
    return Trip() ? kDenied : Inner().DeleteKey(p, s);
  }

 private:
  static constexpr long kDenied = plat::reg::kAccessDenied;
  bool Trip() {
    ++calls_;
    const bool fail = failAt_ > 0 && (calls_ == failAt_ || (persistent_ && calls_ > failAt_));
    if (fail) fired_ = true;
    return fail;
  }
  long failAt_ = 0;
  bool persistent_ = false;
  long calls_ = 0;
  bool fired_ = false;
};

// One wizard per fault point: the fixture made and torn down for each run of the sweep.
class WizardRun : public wizardtest::InstallTest {
 public:
  void TestBody() override {}

  // Installs with the fault armed at p and closes the window as a user would.
  void Completion(const testsupport::FaultPoint& p) {
    const std::string where = p.Describe();
    FaultRegistry faulty(registry_);
    services_.UseRegistry(&faulty);
    auto& w = OpenAtInstallPage({wizardtest::MemoryMember("c:\\src\\Lumidesk.exe", "p")});
    wizardtest::FillCard(w, wizardtest::SampleCard());
    faulty.FailAt(p.n, p.persistent);
    ASSERT_TRUE(PressInstall()) << where;
    fired = faulty.Fired();
    // The run closes the window on success; a refused close leaves it open for another try.
    int closes = 1;
    while (!app_.Terminated() && closes < 3) {
      ASSERT_TRUE(gui_.ClickCloseBox(w)) << where;
      ++closes;
    }
    EXPECT_TRUE(app_.Terminated()) << where << ": the window cannot be closed";
    EXPECT_LE(closes, 2) << where;
    EXPECT_LE(ExceptionBoxes(), 1) << where;

    const bool installed = BoxesTitled(wizard::kInstallDoneTitle) == 1;
    bool complete = RecordValue("RootDir") == InDest("Zentaro.exe") &&
                    RecordValue("version") == "3.0.0.3";
    for (const auto& v : wizardtest::SampleCard())
      complete = complete && RecordValue(v.first) == v.second;
    int warnings = 0;
    for (const auto& b : gui_.Boxes()) warnings += b.text == wizard::kRecordNotWrittenText;
    if (installed) {
      // Success was told: the record is whole, or the user was told it is not.
      EXPECT_TRUE(complete || warnings == 1) << where;
      EXPECT_FALSE(complete && warnings != 0) << where;
    } else {
      EXPECT_FALSE(RecordExists()) << where << ": a failed run was recorded";
    }
    EXPECT_EQ(registry_.OpenHandleCount(), 0u) << where;
  }

  // Uninstalls a recorded installation with the fault armed at p, then closes the window.
  void Uninstall(const testsupport::FaultPoint& p) {
    const std::string where = p.Describe();
    plat::RealFileSystem().ForceDirectories(Dest());
    testsupport::WriteWholeFile(InDest("Lumidesk.EXE"), "program");
    wizardtest::CardValues record = {{"RootDir", InDest("Zentaro.exe")}, {"version", "3.0.0.3"}};
    record.insert(record.end(), wizardtest::SampleCard().begin(), wizardtest::SampleCard().end());
    WriteRecord(record);
    UseDefaultInstaller();
    FaultRegistry faulty(registry_);
    services_.UseRegistry(&faulty);
    auto& w = StartWizard();
    faulty.FailAt(p.n, p.persistent);
    ASSERT_TRUE(gui_.Click(*w.Button14)) << where;
    fired = faulty.Fired();
    EXPECT_TRUE(w.UninstallDone()) << where;
    EXPECT_LE(ExceptionBoxes(), 1) << where;

    // However the uninstall ended, it has ended: the detector's next report gives Button2
    // back.
    faulty.FailAt(0, false);
    online_ = true;
    Tick();
    EXPECT_TRUE(w.Button2->Enabled()) << where;

    // Whatever the uninstall left, closing ends the installer at once and writes nothing.
    const long before = faulty.Calls();
    ASSERT_TRUE(gui_.ClickCloseBox(w)) << where;
    EXPECT_TRUE(app_.Terminated()) << where << ": the window cannot be closed";
    EXPECT_EQ(faulty.Calls(), before) << where << ": closing touched the registry";
    EXPECT_EQ(registry_.OpenHandleCount(), 0u) << where;
  }

  bool fired = false;
};

// Runs the sweep with a fresh wizard at every point; returns the points covered.
long Sweep(void (WizardRun::*run)(const testsupport::FaultPoint&)) {
  testsupport::SweepModes modes;
  modes.limit = 500;
  return testsupport::SweepFaults(
      [run](const testsupport::FaultPoint& p) {
        WizardRun r;
        (r.*run)(p);
        return r.fired;
      },
      modes);
}

TEST(RegistryFaultTest, CompletionUnderEveryRegistryFault) {
  const long points = Sweep(&WizardRun::Completion);
  EXPECT_GE(points, 20);
  std::printf("completion: %ld registry fault points\n", points);
}

TEST(RegistryFaultTest, UninstallUnderEveryRegistryFault) {
  const long points = Sweep(&WizardRun::Uninstall);
  EXPECT_GE(points, 20);
  std::printf("uninstall: %ld registry fault points\n", points);
}

}  // namespace
}  // namespace robust
