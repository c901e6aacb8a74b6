// The browser and Find-menu registrations of TMyShortCut on an in-memory registry: the values
// written, repeat runs, removal, skipped keys and write errors. The values expected are the
// registration rows resolved for the component; the literals below pin the names other programs
// look for.
#include <string>
#include <vector>

#include "ShortCutFixture.h"
#include "platform/Error.h"
#include "shell/ShortCutRegistry.h"
#include "support/ProxyRegistry.h"

namespace shelltest {
namespace {

using plat::kHKeyClassesRoot;
using plat::kHKeyCurrentUser;
using plat::kHKeyLocalMachine;
using plat::kHKeyUsers;
using plat::MemoryRegistry;
using plat::RegKey;
using shell::Integration;
using shell::RegistryValue;

const std::string kToolbar =
    "SOFTWARE\\MICROSOFT\\Internet Explorer\\Extensions\\{4B30061A-5D23-11D3-80F8-0090276F843F}";
const std::string kTools =
    "SOFTWARE\\MICROSOFT\\Internet Explorer\\Extensions\\{4B30061A-5D22-11D3-80F8-0090276F843F}";
const std::string kMenuExt = "SOFTWARE\\MICROSOFT\\Internet Explorer\\MenuExt\\";
const std::string kStatic =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static\\";
const std::string kAppPaths = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::string kWizardClsid = "{4B30061A-5D23-11D3-80F8-0090276F456F}";
const std::string kServer = "CLSID\\" + kWizardClsid + "\\LocalServer32";

// Every value written, as "name = data", in order: where each lands is checked against the
// same listing by the tests that read the registry back.
class WriteLog : public testsupport::ProxyRegistry {
 public:
  using ProxyRegistry::ProxyRegistry;
  long SetValue(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                std::size_t size) override {
    writes.push_back(name + " = " + std::string(data, data + size));
    return ProxyRegistry::SetValue(key, name, type, data, size);
  }
  std::vector<std::string> writes;
};

class RegistrationTest : public ShortCutTest {
 protected:
  void SetUp() override {
    ShortCutTest::SetUp();
    sc_->FilePathName = "C:\\P\\X.exe";
    sc_->IconPathName = "C:\\P\\search.ico";
  }

  // The REG_SZ data of a value, or "<missing>".
  std::string Data(RegKey root, const std::string& key, const std::string& value) {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    if (!registry_.GetValue(root, key, value, type, data)) return "<missing>";
    if (type != plat::reg::kSz) return "<type " + std::to_string(type) + ">";
    return std::string(data.begin(), data.end());
  }

  void ExpectValues(const std::vector<RegistryValue>& expected) {
    for (const RegistryValue& e : expected) {
      EXPECT_EQ(Data(e.root, e.key, e.valueName), e.data) << e.key << " : " << e.valueName;
    }
  }

  void ExpectNoValues(const std::vector<RegistryValue>& expected) {
    for (const RegistryValue& e : expected) {
      EXPECT_EQ(Data(e.root, e.key, e.valueName), "<missing>") << e.key << " : " << e.valueName;
    }
  }

  std::vector<RegistryValue> ExplorerValues() const {
    return shell::RegistryWrites(*sc_, Integration::kBrowser);
  }

  std::vector<RegistryValue> TrovaValues() const {
    return shell::RegistryWrites(*sc_, Integration::kFindMenu);
  }
};

// --- Browser registration ---

TEST_F(RegistrationTest, RegisterExplorerWritesTheTable) {
  sc_->RegisterExplorer();
  ExpectValues(ExplorerValues());
  EXPECT_GE(registry_.FlushCount("HKEY_LOCAL_MACHINE\\" + kToolbar), 1) << "lazy writing off";
  EXPECT_GE(registry_.FlushCount("HKEY_LOCAL_MACHINE\\" + kTools), 1);
}

TEST_F(RegistrationTest, RegisterExplorerTwiceGivesTheSameValues) {
  sc_->RegisterExplorer();
  sc_->RegisterExplorer();
  ExpectValues(ExplorerValues());
  // Changed properties overwrite every value.
  sc_->FilePathName = "C:\\Q\\Y.exe";
  sc_->RegisterExplorer();
  EXPECT_EQ(Data(kHKeyLocalMachine, kToolbar, "Exec"), "C:\\Q\\Y.exe");
  EXPECT_EQ(Data(kHKeyLocalMachine, kTools, "Exec"), "C:\\Q\\Y.exe");
  EXPECT_EQ(Data(kHKeyCurrentUser, kMenuExt + "Ricerca utilizzando Falc@ro", ""), "C:\\Q\\Y.exe");
}

TEST_F(RegistrationTest, ExtensionKeysAreFixedWhateverTheClassProperties) {
  sc_->CLSIDExplore = "{00000000-0000-0000-0000-000000000001}";
  sc_->CLSIDExplore1 = "{00000000-0000-0000-0000-000000000002}";
  sc_->Descrizione = "ignored";
  sc_->RegisterExplorer();
  ExpectValues(ExplorerValues());
  // The handler's two spellings, as the browser has them registered.
  EXPECT_EQ(Data(kHKeyLocalMachine, kToolbar, "CLSID"), "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}");
  EXPECT_EQ(Data(kHKeyLocalMachine, kTools, "CLSID"), "{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}");
}

TEST_F(RegistrationTest, DeRegisterExplorerLeavesNoneOfTheFourKeys) {
  sc_->RegisterExplorer();
  sc_->DeRegisterExplorer();
  const std::string context = kMenuExt + "Ricerca utilizzando Falc@ro";
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kToolbar));
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kTools));
  EXPECT_FALSE(registry_.KeyExists(kHKeyCurrentUser, context));
  EXPECT_FALSE(registry_.KeyExists(kHKeyUsers, ".DEFAULT\\" + context));
}

TEST_F(RegistrationTest, DeRegisterExplorerRemovesSubkeysOfTheExtensionKeys) {
  sc_->RegisterExplorer();
  RegKey key = 0;
  ASSERT_EQ(registry_.CreateKey(kHKeyLocalMachine, kToolbar + "\\sub\\deeper", key), 0);
  registry_.CloseKey(key);
  sc_->DeRegisterExplorer();
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kToolbar));
}

TEST_F(RegistrationTest, DeRegisterExplorerWithoutRegistrationChangesNothing) {
  sc_->DeRegisterExplorer();
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, "SOFTWARE\\MICROSOFT"));
  EXPECT_FALSE(registry_.KeyExists(kHKeyCurrentUser, "SOFTWARE\\MICROSOFT"));
  EXPECT_FALSE(registry_.KeyExists(kHKeyUsers, ".DEFAULT"));
}

TEST_F(RegistrationTest, DeRegisterExplorerNamesContextKeysFromCurrentProperties) {
  sc_->RegisterExplorer();
  sc_->DescrizioneExeInForder = "Altro";
  sc_->DeRegisterExplorer();
  EXPECT_TRUE(registry_.KeyExists(kHKeyCurrentUser, kMenuExt + "Ricerca utilizzando Falc@ro"));
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kToolbar));
}

TEST_F(RegistrationTest, EmptyDescriptionKeepsTheTrailingSpace) {
  sc_->DescrizioneExeInForder.clear();
  sc_->RegisterExplorer();
  EXPECT_EQ(Data(kHKeyCurrentUser, kMenuExt + "Ricerca utilizzando ", ""), "C:\\P\\X.exe");
  EXPECT_EQ(Data(kHKeyUsers, ".DEFAULT\\" + kMenuExt + "Ricerca utilizzando ", ""),
            "C:\\P\\X.exe");
  EXPECT_FALSE(registry_.KeyExists(kHKeyCurrentUser, kMenuExt + "Ricerca utilizzando"));
  EXPECT_EQ(Data(kHKeyLocalMachine, kToolbar, "ButtonText"), "");
  sc_->DeRegisterExplorer();
  EXPECT_FALSE(registry_.KeyExists(kHKeyCurrentUser, kMenuExt + "Ricerca utilizzando "));
}

TEST_F(RegistrationTest, AKeyThatCannotBeCreatedIsSkipped) {
  registry_.FailOn(MemoryRegistry::Op::CreateKey, "HKEY_LOCAL_MACHINE\\" + kToolbar);
  sc_->RegisterExplorer();
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kToolbar));
  EXPECT_EQ(Data(kHKeyLocalMachine, kTools, "MenuText"), "Spedisci Con Lumidesk");
  EXPECT_EQ(Data(kHKeyUsers, ".DEFAULT\\" + kMenuExt + "Ricerca utilizzando Falc@ro", ""),
            "C:\\P\\X.exe");
}

TEST_F(RegistrationTest, AValueThatCannotBeWrittenEndsRegisterExplorer) {
  registry_.FailOn(MemoryRegistry::Op::SetValue, "Default Visible");
  try {
    sc_->RegisterExplorer();
    FAIL() << "no error";
  } catch (const plat::Error& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'Default Visible'");
  }
  EXPECT_EQ(Data(kHKeyLocalMachine, kToolbar, "CLSID"), "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}")
      << "values written before stay";
  EXPECT_EQ(Data(kHKeyLocalMachine, kToolbar, "Exec"), "<missing>");
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kTools));
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

// --- Find-menu registration ---

TEST_F(RegistrationTest, CreateTrovaLinkWritesTheTable) {
  sc_->CreateTrovaLink();
  ExpectValues(TrovaValues());
}

TEST_F(RegistrationTest, CreateTrovaLinkTwiceGivesTheSameValues) {
  sc_->CreateTrovaLink();
  sc_->CreateTrovaLink();
  ExpectValues(TrovaValues());
}

TEST_F(RegistrationTest, FolderPartOfARootedName) {
  sc_->FilePathName = "C:X.exe";  // the colon ends the folder part too
  sc_->CreateTrovaLink();
  EXPECT_EQ(Data(kHKeyLocalMachine, kAppPaths + "X.exe", "Path"), "C:");
}

TEST_F(RegistrationTest, DeleteTrovaLinkKeepsTheKeysEmpty) {
  sc_->CreateTrovaLink();
  sc_->DeleteTrovaLink();
  ExpectNoValues(TrovaValues());
  for (const RegistryValue& v : TrovaValues()) {
    EXPECT_TRUE(registry_.KeyExists(v.root, v.key)) << v.key;
  }
}

TEST_F(RegistrationTest, DeleteTrovaLinkWithoutRegistrationCreatesOnlyEmptyKeys) {
  sc_->DeleteTrovaLink();
  ExpectNoValues(TrovaValues());
  // Keys opened with creation allowed are there, empty.
  EXPECT_TRUE(registry_.KeyExists(kHKeyLocalMachine, kStatic + "Lumidesk.exe\\0\\DefaultIcon"));
  EXPECT_TRUE(registry_.KeyExists(kHKeyLocalMachine, kAppPaths + "X.exe"));
  EXPECT_TRUE(registry_.KeyExists(kHKeyClassesRoot, kServer));
}

TEST_F(RegistrationTest, DefaultIconFailureWritesNothing) {
  registry_.FailOn(MemoryRegistry::Op::CreateKey,
                   "HKEY_LOCAL_MACHINE\\" + kStatic + "Lumidesk.exe\\0\\DefaultIcon");
  sc_->CreateTrovaLink();
  ExpectNoValues(TrovaValues());
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kAppPaths + "X.exe"));
  EXPECT_FALSE(registry_.KeyExists(kHKeyClassesRoot, "CLSID"));

  // The removal ends at the same point.
  sc_->DeleteTrovaLink();
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kAppPaths + "X.exe"));
}

TEST_F(RegistrationTest, RefusedLocalServerUnderTheMachineRootLeavesTheClassesRootOne) {
  registry_.FailOn(MemoryRegistry::Op::CreateKey, "HKEY_LOCAL_MACHINE\\" + kServer);
  sc_->CreateTrovaLink();
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kServer));
  EXPECT_EQ(Data(kHKeyClassesRoot, kServer, ""), "C:\\P\\X.exe");
  EXPECT_EQ(Data(kHKeyClassesRoot, kServer, "ThreadingModel"), "Both");
}

TEST_F(RegistrationTest, EmptyProgramPathLeavesTheSharedAppPathsKeyAlone) {
  sc_->FilePathName.clear();
  sc_->CreateTrovaLink();
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kAppPaths.substr(0, kAppPaths.size() - 1)));
  EXPECT_EQ(Data(kHKeyLocalMachine, kStatic + "Lumidesk.exe\\0\\DefaultIcon", ""), ",0");
  sc_->DeleteTrovaLink();
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kAppPaths.substr(0, kAppPaths.size() - 1)));
}

TEST_F(RegistrationTest, AValueThatCannotBeWrittenEndsCreateTrovaLink) {
  registry_.FailOn(MemoryRegistry::Op::SetValue, "Path");
  EXPECT_THROW(sc_->CreateTrovaLink(), plat::Error);
  EXPECT_EQ(Data(kHKeyLocalMachine, kAppPaths + "X.exe", ""), "C:\\P\\X.exe");
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, "CLSID"));
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

// --- Through CreateLink and RemoveLink ---

TEST_F(RegistrationTest, SwitchesRunTheRegistrationsAndTheirRemoval) {
  // What CreateLink writes is what RegistryWrites lists, in its order.
  WriteLog log(registry_);
  shell::TMyShortCut sc(nullptr, *shell_, plat::RealFileSystem(), log);
  ConfigureAsWizard(sc);
  sc.FilePathName = sc_->FilePathName;
  sc.IconPathName = sc_->IconPathName;
  sc.CreateToTrova = true;
  sc.CreateToExplorer = true;
  sc.CreateLink();
  std::vector<std::string> listed;
  for (const RegistryValue& v : shell::RegistryWrites(sc)) {
    listed.push_back(v.valueName + " = " + v.data);
  }
  EXPECT_EQ(log.writes, listed);
  EXPECT_EQ(listed.size(), TrovaValues().size() + ExplorerValues().size());
  sc.RemoveLink();
  ExpectNoValues(TrovaValues());
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kToolbar));
}

TEST_F(RegistrationTest, WriteErrorPropagatesFromCreateLinkAndStopsTheLaterSteps) {
  sc_->FilePathName = program_;
  sc_->CreateToTrova = true;
  sc_->CreateToExplorer = true;
  registry_.FailOn(MemoryRegistry::Op::SetValue, "ThreadingModel");
  EXPECT_THROW(sc_->CreateLink(), plat::Error);
  // The links came first and stay; the browser registration after it did not run.
  EXPECT_TRUE(FileExists(StartMenu() + "\\Lumidesk\\Lumidesk.exe.lnk"));
  EXPECT_TRUE(FileExists(Desktop() + "\\Lumidesk.lnk"));
  EXPECT_TRUE(FileExists(Programs() + "\\Lumidesk\\Lumidesk.exe.lnk"));
  EXPECT_FALSE(registry_.KeyExists(kHKeyLocalMachine, kToolbar));
}

TEST_F(RegistrationTest, EveryFailingCallEndsCleanly) {
  // Fail the n-th registry call of a full registration and removal, for every n: each run
  // either completes or raises plat::Error, and never leaves a key open.
  int errors = 0;
  for (long n = 1;; ++n) {
    registry_.Reset();
    registry_.FailCall(n);
    const long before = registry_.CallCount();
    try {
      sc_->RegisterExplorer();
      sc_->CreateTrovaLink();
      sc_->DeRegisterExplorer();
      sc_->DeleteTrovaLink();
    } catch (const plat::Error&) {
      ++errors;
    }
    EXPECT_EQ(registry_.OpenHandleCount(), 0u) << "call " << n;
    const long made = registry_.CallCount() - before;
    registry_.FailCall(0);
    if (n > made) break;
  }
  EXPECT_GT(errors, 20) << "the failures reached the value writes";
}

}  // namespace
}  // namespace shelltest
