// What every registry back end does alike, and the registry access object over each: names
// without regard to case, result codes, handles to deleted keys, value types and bytes, paths,
// roots and recursive deletion.
#include "RegistryConformance.h"

#include <algorithm>

#include "platform/Error.h"
#include "platform/MemoryRegistry.h"

namespace registrytest {

using plat::RegistryAccess;
using plat::RegKey;
using plat::kHKeyClassesRoot;
using plat::kHKeyCurrentUser;
using plat::kHKeyLocalMachine;
using plat::kHKeyUsers;
namespace reg = plat::reg;

namespace {

// The way every caller of the system uses the access object.
void Prepare(RegistryAccess& reg, RegKey root) {
  reg.SetRootKey(root);
  reg.SetLazyWrite(false);
}

}  // namespace

// --- The back end ---

TEST_P(RegistryConformance, KeyAndValueNamesIgnoreCaseButKeepTheirSpelling) {
  const RegKey base = Create(kHKeyCurrentUser, key_);
  const RegKey k = Create(base, "Nortavia");
  ASSERT_EQ(backend_->SetValue(k, "Path", reg::kBinary, Data("x"), 1), reg::kSuccess);
  RegKey again = 0;
  ASSERT_EQ(backend_->OpenKey(base, "NORTAVIA", again), reg::kSuccess);
  std::uint32_t type = 0;
  std::vector<std::uint8_t> got;
  EXPECT_EQ(backend_->QueryValue(again, "PATH", type, got), reg::kSuccess);
  EXPECT_EQ(type, reg::kBinary);
  EXPECT_EQ(got, std::vector<std::uint8_t>{'x'});

  RegKey itself = 0;  // "" reopens the key
  ASSERT_EQ(backend_->OpenKey(base, "", itself), reg::kSuccess);
  std::string name;
  EXPECT_EQ(backend_->EnumKey(itself, 0, name), reg::kSuccess);
  EXPECT_EQ(name, "Nortavia");
  EXPECT_EQ(backend_->EnumKey(itself, 1, name), reg::kNoMoreItems);
  for (RegKey h : {k, again, itself, base}) EXPECT_EQ(backend_->CloseKey(h), reg::kSuccess);
}

TEST_P(RegistryConformance, RootsAreSeparateAndOpeningNeverCreates) {
  backend_->CloseKey(Create(kHKeyCurrentUser, key_ + "\\A"));
  EXPECT_TRUE(KeyExists(kHKeyCurrentUser, key_ + "\\A"));
  for (RegKey other : {kHKeyLocalMachine, kHKeyUsers, kHKeyClassesRoot}) {
    EXPECT_FALSE(KeyExists(other, key_ + "\\A")) << other;
  }
  RegKey k = 0;
  EXPECT_EQ(backend_->OpenKey(kHKeyCurrentUser, key_ + "\\B", k), reg::kFileNotFound);
  EXPECT_EQ(backend_->OpenKeyRead(kHKeyCurrentUser, key_ + "\\B", k), reg::kFileNotFound);
  EXPECT_FALSE(KeyExists(kHKeyCurrentUser, key_ + "\\B"));
}

TEST_P(RegistryConformance, MalformedPathsAndHandlesAreRefused) {
  const RegKey base = Create(kHKeyCurrentUser, key_);
  RegKey k = 0;
  EXPECT_EQ(backend_->CreateKey(base, "\\A", k), reg::kBadPathname);
  // Separators in a row count as one; trailing ones are ignored.
  ASSERT_EQ(backend_->CreateKey(base, "A\\\\B\\\\", k), reg::kSuccess);
  EXPECT_EQ(backend_->CloseKey(k), reg::kSuccess);
  EXPECT_TRUE(KeyExists(kHKeyCurrentUser, key_ + "\\A\\B"));
  std::string name;
  EXPECT_EQ(backend_->EnumKey(base, 1, name), reg::kNoMoreItems) << "no key with an empty name";
  EXPECT_EQ(backend_->OpenKey(0x12345, "A", k), reg::kInvalidHandle);
  EXPECT_EQ(backend_->CloseKey(0x12345), reg::kInvalidHandle);
  EXPECT_EQ(backend_->CloseKey(kHKeyCurrentUser), reg::kSuccess);  // predefined keys: a no-op
  EXPECT_EQ(backend_->CloseKey(base), reg::kSuccess);
}

TEST_P(RegistryConformance, DeleteKeyRefusesKeysWithSubkeysAndInvalidatesOpenHandles) {
  const RegKey parent = Create(kHKeyCurrentUser, key_ + "\\P");
  const RegKey child = Create(kHKeyCurrentUser, key_ + "\\P\\C");
  EXPECT_EQ(backend_->DeleteKey(kHKeyCurrentUser, key_ + "\\P"), reg::kAccessDenied);
  EXPECT_EQ(backend_->DeleteKey(parent, "c"), reg::kSuccess);
  EXPECT_EQ(backend_->DeleteKey(parent, "C"), reg::kFileNotFound);
  EXPECT_EQ(backend_->DeleteKey(kHKeyCurrentUser, key_ + "\\P"), reg::kSuccess);
  EXPECT_FALSE(KeyExists(kHKeyCurrentUser, key_ + "\\P"));

  // Both handles outlive their keys and answer "key deleted".
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(backend_->QueryValue(child, "", type, data), reg::kKeyDeleted);
  EXPECT_EQ(backend_->SetValue(parent, "v", reg::kDword, nullptr, 0), reg::kKeyDeleted);
  EXPECT_EQ(backend_->CloseKey(child), reg::kSuccess);
  EXPECT_EQ(backend_->CloseKey(parent), reg::kSuccess);

  // "" names the key itself; a root is never deleted.
  const RegKey base = Create(kHKeyCurrentUser, key_);
  EXPECT_EQ(backend_->DeleteKey(base, ""), reg::kSuccess);
  EXPECT_FALSE(KeyExists(kHKeyCurrentUser, key_));
  EXPECT_EQ(backend_->CloseKey(base), reg::kSuccess);
  EXPECT_NE(backend_->DeleteKey(kHKeyCurrentUser, ""), reg::kSuccess);
}

TEST_P(RegistryConformance, ValuesKeepTypeAndBytes) {
  const struct {
    const char* name;
    std::uint32_t type;
    std::string bytes;  // none: written from a null pointer
  } values[] = {{"d", reg::kDword, std::string("\x01\0\0\0", 4)},
                {"b", reg::kBinary, std::string("\0\xFF\0", 3)},
                {"e", reg::kExpandSz, ""}};
  const RegKey k = Create(kHKeyCurrentUser, key_);
  for (const auto& v : values) {
    const std::uint8_t* data = v.bytes.empty() ? nullptr : Data(v.bytes);
    ASSERT_EQ(backend_->SetValue(k, v.name, v.type, data, v.bytes.size()), reg::kSuccess);
  }
  for (const auto& v : values) {
    std::uint32_t type = 0;
    std::string bytes;
    ASSERT_TRUE(Get(kHKeyCurrentUser, key_, v.name, type, bytes)) << v.name;
    EXPECT_EQ(type, v.type) << v.name;
    EXPECT_EQ(bytes, v.bytes) << v.name;
  }
  EXPECT_EQ(backend_->DeleteValue(k, "B"), reg::kSuccess);
  EXPECT_EQ(backend_->DeleteValue(k, "b"), reg::kFileNotFound);
  EXPECT_EQ(backend_->CloseKey(k), reg::kSuccess);
}

TEST_P(RegistryConformance, BackendEnumeratesAndReportsWin32Codes) {
  plat::RegistryBackend& backend = *backend_;
  plat::RegKey key = 0;
  ASSERT_EQ(backend.CreateKey(kHKeyCurrentUser, key_, key), reg::kSuccess);
  const std::string longName(255, 'k');  // the longest key name there is
  for (const std::string& name : {std::string("beta"), std::string("alpha"), longName}) {
    plat::RegKey sub = 0;
    ASSERT_EQ(backend.CreateKey(key, name, sub), reg::kSuccess);
    EXPECT_EQ(backend.CloseKey(sub), reg::kSuccess);
  }
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; backend.EnumKey(key, i, name) == reg::kSuccess; ++i) {
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "beta", longName}));
  EXPECT_EQ(backend.EnumKey(key, 3, name), reg::kNoMoreItems);

  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(backend.QueryValue(key, "absent", type, data), reg::kFileNotFound);
  // Opened for reading, the key reads but takes no writes or deletions; subkeys may be made
  // below it all the same.
  const std::uint8_t one[4] = {1, 0, 0, 0};
  ASSERT_EQ(backend.SetValue(key, "Remote Connection", reg::kDword, one, 4), reg::kSuccess);
  plat::RegKey readOnly = 0;
  ASSERT_EQ(backend.OpenKeyRead(kHKeyCurrentUser, key_, readOnly), reg::kSuccess);
  EXPECT_EQ(backend.QueryValue(readOnly, "Remote Connection", type, data), reg::kSuccess);
  EXPECT_EQ(data, std::vector<std::uint8_t>(one, one + 4));
  EXPECT_EQ(backend.SetValue(readOnly, "x", reg::kDword, one, 4), reg::kAccessDenied);
  EXPECT_EQ(backend.DeleteValue(readOnly, "Remote Connection"), reg::kAccessDenied);
  plat::RegKey sub = 0;
  ASSERT_EQ(backend.CreateKey(readOnly, "Sub", sub), reg::kSuccess);
  EXPECT_EQ(backend.CloseKey(sub), reg::kSuccess);
  EXPECT_EQ(backend.CloseKey(readOnly), reg::kSuccess);
  EXPECT_EQ(backend.FlushKey(key), reg::kSuccess);
  EXPECT_EQ(backend.CloseKey(key), reg::kSuccess);
  EXPECT_EQ(backend.CloseKey(kHKeyCurrentUser), reg::kSuccess);
}

// --- The access object over the back end ---

TEST_P(RegistryConformance, StringsAreStoredWithoutTerminatorAndReadBack) {
  {
    RegistryAccess reg(*backend_);
    Prepare(reg, kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    reg.WriteString("Path", "c:\\programmi\\nortavia\\Lumidesk");
    reg.WriteString("Accent", "Citt\xE0 e caff\xE8");
    reg.WriteString("Empty", "");
  }  // released with the key open: flushed and closed

  std::uint32_t type = 0;
  std::string bytes;
  ASSERT_TRUE(Get(kHKeyCurrentUser, key_, "Path", type, bytes));
  EXPECT_EQ(type, reg::kSz);
  EXPECT_EQ(Text(bytes), "c:\\programmi\\nortavia\\Lumidesk");
  ASSERT_TRUE(Get(kHKeyCurrentUser, key_, "Empty", type, bytes));
  EXPECT_EQ(bytes.size(), 0u);

  RegistryAccess reg(*backend_);
  Prepare(reg, kHKeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\" + key_, false));
  EXPECT_EQ(reg.ReadString("Path"), "c:\\programmi\\nortavia\\Lumidesk");
  EXPECT_EQ(reg.ReadString("Accent"), "Citt\xE0 e caff\xE8");
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_EQ(reg.ReadString("Missing"), "");
}

TEST_P(RegistryConformance, ValuesWrittenByOthersReadTheSame) {
  const std::string large(5000, 'L');
  const struct {
    const char* name;
    std::uint32_t type;
    std::string bytes;
    std::string read;
  } values[] = {{"WithZero", reg::kSz, std::string("abc\0", 4), "abc"},
                {"Expand", reg::kExpandSz, std::string("%TEMP%\\x\0", 10), "%TEMP%\\x"},
                {"Inner", reg::kSz, std::string("ab\0cd", 5), "ab"},  // to the first zero
                {"Large", reg::kSz, large, large}};
  for (const auto& v : values) Put(kHKeyCurrentUser, key_, v.name, v.type, v.bytes);
  Put(kHKeyCurrentUser, key_, "Number", reg::kDword, std::string("\x07\0\0\0", 4));

  RegistryAccess reg(*backend_);
  Prepare(reg, kHKeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\" + key_, false));
  for (const auto& v : values) EXPECT_EQ(reg.ReadString(v.name), v.read) << v.name;
  try {
    reg.ReadString("Number");
    FAIL() << "a DWORD read as a string";
  } catch (const plat::Error& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Number'");
  }
  reg.DeleteValue("WithZero");
  reg.DeleteValue("NeverThere");  // no error
  EXPECT_FALSE(reg.ValueExists("WithZero"));
}

TEST_P(RegistryConformance, RootsReachTheirHives) {
  {
    RegistryAccess reg(*backend_);
    Prepare(reg, kHKeyLocalMachine);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    reg.WriteString("Hive", "machine");
    Prepare(reg, kHKeyCurrentUser);  // closes the machine key
    EXPECT_EQ(reg.CurrentKey(), 0u);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    reg.WriteString("Hive", "user");
  }
  std::uint32_t type = 0;
  std::string bytes;
  ASSERT_TRUE(Get(kHKeyLocalMachine, key_, "Hive", type, bytes));
  EXPECT_EQ(Text(bytes), "machine");
  ASSERT_TRUE(Get(kHKeyCurrentUser, key_, "Hive", type, bytes));
  EXPECT_EQ(Text(bytes), "user");
}

TEST_P(RegistryConformance, PathsFromRootOrCurrentKey) {
  RegistryAccess reg(*backend_);
  Prepare(reg, kHKeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\" + key_ + "\\One", true));
  ASSERT_TRUE(reg.OpenKey("Two", true)) << "relative to the current key";
  reg.WriteString("Where", "two");
  EXPECT_TRUE(KeyExists(kHKeyCurrentUser, key_ + "\\One\\Two"));
  ASSERT_TRUE(reg.OpenKey("\\" + key_, false)) << "a leading backslash starts at the root";
  EXPECT_EQ(reg.CurrentPath(), key_);
  EXPECT_FALSE(reg.OpenKey("\\" + key_ + "\\Absent", false));
  EXPECT_EQ(reg.CurrentPath(), key_) << "a failed open changes nothing";
}

TEST_P(RegistryConformance, DeleteKeyRemovesTheWholeTree) {
  for (const char* sub : {"\\A", "\\B", "\\C", "\\B\\Inner", "\\B\\Inner\\Deepest"}) {
    Put(kHKeyCurrentUser, key_ + sub, "v", reg::kSz, "x");
  }
  RegistryAccess reg(*backend_);
  Prepare(reg, kHKeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\Software\\LumideskTests", false));
  const RegKey current = reg.CurrentKey();
  EXPECT_TRUE(reg.DeleteKey("\\" + key_));
  EXPECT_FALSE(KeyExists(kHKeyCurrentUser, key_));
  EXPECT_EQ(reg.CurrentKey(), current) << "the current key stays current";
  EXPECT_FALSE(reg.DeleteKey("\\" + key_)) << "nothing left to delete";
}

}  // namespace registrytest
