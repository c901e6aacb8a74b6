// The registry access object on the real Win32 registry: what it writes is read back with the
// raw registry functions, and what others wrote (with or without a terminating zero, other
// types) is read through it. Every case works under its own key and removes it afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/Registry.h"
#include "platform/RegistryBackend.h"

namespace {

using plat::RegistryAccess;

// Reads a value with the raw API: type and exact bytes.
bool RawQuery(HKEY root, const std::string& key, const std::string& name, DWORD& type,
              std::string& bytes) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  char buffer[1024];
  DWORD size = sizeof buffer;
  const LONG rc = RegQueryValueExA(handle, name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (rc != ERROR_SUCCESS) return false;
  bytes.assign(buffer, size);
  return true;
}

void RawSet(HKEY root, const std::string& key, const std::string& name, DWORD type,
            const void* data, DWORD size) {
  HKEY handle = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                            nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(handle, name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
            ERROR_SUCCESS);
  RegCloseKey(handle);
}

bool RawKeyExists(HKEY root, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// RegSetValueExA, on NT as under Wine, counts a terminating zero the caller left out when the
// byte after the data is one (as it is after a string's characters); the stored text is the same.
std::string Text(const std::string& bytes) {
  if (!bytes.empty() && bytes.back() == '\0') return bytes.substr(0, bytes.size() - 1);
  return bytes;
}

class Win32Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    key_ = std::string("Software\\LumideskTests\\") + test->name();
    Cleanup();
  }
  void TearDown() override { Cleanup(); }
  void Cleanup() {
    RegistryAccess reg;
    reg.SetRootKey(plat::kHKeyCurrentUser);
    reg.DeleteKey("\\" + key_);
    reg.SetRootKey(plat::kHKeyLocalMachine);
    reg.DeleteKey("\\" + key_);
  }

  // The way every caller of the system uses the object.
  static void Prepare(RegistryAccess& reg, plat::RegKey root) {
    reg.SetRootKey(root);
    reg.SetLazyWrite(false);
  }

  std::string key_;
};

TEST_F(Win32Registry, StringsAreStoredWithoutTerminatorAndReadBack) {
  {
    RegistryAccess reg;
    Prepare(reg, plat::kHKeyCurrentUser);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    reg.WriteString("Path", "c:\\programmi\\nortavia\\Lumidesk");
    reg.WriteString("Accent", "Citt\xE0 e caff\xE8");
    reg.WriteString("Empty", "");
  }  // released with the key open: flushed and closed

  DWORD type = 0;
  std::string bytes;
  ASSERT_TRUE(RawQuery(HKEY_CURRENT_USER, key_, "Path", type, bytes));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(Text(bytes), "c:\\programmi\\nortavia\\Lumidesk");
  ASSERT_TRUE(RawQuery(HKEY_CURRENT_USER, key_, "Empty", type, bytes));
  EXPECT_EQ(bytes.size(), 0u);

  RegistryAccess reg;
  Prepare(reg, plat::kHKeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\" + key_, false));
  EXPECT_EQ(reg.ReadString("Path"), "c:\\programmi\\nortavia\\Lumidesk");
  EXPECT_EQ(reg.ReadString("Accent"), "Citt\xE0 e caff\xE8");
  EXPECT_EQ(reg.ReadString("Empty"), "");
  EXPECT_EQ(reg.ReadString("Missing"), "");
}

TEST_F(Win32Registry, ValuesWrittenByOthersReadTheSame) {
  RawSet(HKEY_CURRENT_USER, key_, "WithZero", REG_SZ, "abc\0", 4);
  RawSet(HKEY_CURRENT_USER, key_, "Expand", REG_EXPAND_SZ, "%TEMP%\\x\0", 10);
  RawSet(HKEY_CURRENT_USER, key_, "Inner", REG_SZ, "ab\0cd", 5);
  const DWORD number = 7;
  RawSet(HKEY_CURRENT_USER, key_, "Number", REG_DWORD, &number, sizeof number);
  const std::string large(5000, 'L');
  RawSet(HKEY_CURRENT_USER, key_, "Large", REG_SZ, large.data(), static_cast<DWORD>(large.size()));

  RegistryAccess reg;
  Prepare(reg, plat::kHKeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\" + key_, false));
  EXPECT_EQ(reg.ReadString("WithZero"), "abc");
  EXPECT_EQ(reg.ReadString("Expand"), "%TEMP%\\x") << "not expanded";
  EXPECT_EQ(reg.ReadString("Inner"), "ab") << "ends at the first zero byte";
  EXPECT_EQ(reg.ReadString("Large"), large);
  try {
    reg.ReadString("Number");
    FAIL() << "a DWORD read as a string";
  } catch (const plat::Error& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for 'Number'");
  }
  reg.DeleteValue("WithZero");
  reg.DeleteValue("NeverThere");  // no error
  DWORD type = 0;
  std::string bytes;
  EXPECT_FALSE(RawQuery(HKEY_CURRENT_USER, key_, "WithZero", type, bytes));
}

// On 64-bit Windows the predefined keys are sign-extended handles; the roots must still reach
// the right hive.
TEST_F(Win32Registry, RootsReachTheirHives) {
  {
    RegistryAccess reg;
    Prepare(reg, plat::kHKeyLocalMachine);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    reg.WriteString("Hive", "machine");
    Prepare(reg, plat::kHKeyCurrentUser);  // closes the machine key
    EXPECT_EQ(reg.CurrentKey(), 0u);
    ASSERT_TRUE(reg.OpenKey("\\" + key_, true));
    reg.WriteString("Hive", "user");
  }
  DWORD type = 0;
  std::string bytes;
  ASSERT_TRUE(RawQuery(HKEY_LOCAL_MACHINE, key_, "Hive", type, bytes));
  EXPECT_EQ(Text(bytes), "machine");
  ASSERT_TRUE(RawQuery(HKEY_CURRENT_USER, key_, "Hive", type, bytes));
  EXPECT_EQ(Text(bytes), "user");
}

TEST_F(Win32Registry, PathsFromRootOrCurrentKey) {
  RegistryAccess reg;
  Prepare(reg, plat::kHKeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\" + key_ + "\\One", true));
  ASSERT_TRUE(reg.OpenKey("Two", true)) << "relative to the current key";
  reg.WriteString("Where", "two");
  EXPECT_TRUE(RawKeyExists(HKEY_CURRENT_USER, key_ + "\\One\\Two"));
  ASSERT_TRUE(reg.OpenKey("\\" + key_, false)) << "a leading backslash starts at the root";
  EXPECT_EQ(reg.CurrentPath(), key_);
  EXPECT_FALSE(reg.OpenKey("\\" + key_ + "\\Absent", false));
  EXPECT_EQ(reg.CurrentPath(), key_) << "a failed open changes nothing";
}

TEST_F(Win32Registry, DeleteKeyRemovesTheWholeTree) {
  for (const char* sub : {"\\A", "\\B", "\\C", "\\B\\Inner", "\\B\\Inner\\Deepest"}) {
    RawSet(HKEY_CURRENT_USER, key_ + sub, "v", REG_SZ, "x", 1);
  }
  RegistryAccess reg;
  Prepare(reg, plat::kHKeyCurrentUser);
  ASSERT_TRUE(reg.OpenKey("\\Software\\LumideskTests", false));
  const plat::RegKey current = reg.CurrentKey();
  EXPECT_TRUE(reg.DeleteKey("\\" + key_));
  EXPECT_FALSE(RawKeyExists(HKEY_CURRENT_USER, key_));
  EXPECT_EQ(reg.CurrentKey(), current) << "the current key stays current";
  EXPECT_FALSE(reg.DeleteKey("\\" + key_)) << "nothing left to delete";
}

TEST_F(Win32Registry, BackendEnumeratesAndReportsWin32Codes) {
  plat::RegistryBackend& backend = plat::SystemRegistry();
  plat::RegKey key = 0;
  ASSERT_EQ(backend.CreateKey(plat::kHKeyCurrentUser, key_, key), plat::reg::kSuccess);
  const std::string longName(255, 'k');  // the longest key name there is
  for (const std::string& name : {std::string("beta"), std::string("alpha"), longName}) {
    plat::RegKey sub = 0;
    ASSERT_EQ(backend.CreateKey(key, name, sub), plat::reg::kSuccess);
    EXPECT_EQ(backend.CloseKey(sub), plat::reg::kSuccess);
  }
  std::vector<std::string> names;
  std::string name;
  for (std::uint32_t i = 0; backend.EnumKey(key, i, name) == plat::reg::kSuccess; ++i) {
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "beta", longName}));
  EXPECT_EQ(backend.EnumKey(key, 3, name), plat::reg::kNoMoreItems);

  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(backend.QueryValue(key, "absent", type, data), plat::reg::kFileNotFound);
  EXPECT_EQ(backend.DeleteValue(key, "absent"), plat::reg::kFileNotFound);
  plat::RegKey missing = 0;
  EXPECT_EQ(backend.OpenKey(key, "absent", missing), plat::reg::kFileNotFound);
  EXPECT_NE(backend.DeleteKey(plat::kHKeyCurrentUser, key_), plat::reg::kSuccess)
      << "a key with subkeys is not deleted in one call";
  // Opened for reading, the key reads but takes no writes.
  const std::uint8_t one[4] = {1, 0, 0, 0};
  ASSERT_EQ(backend.SetValue(key, "Remote Connection", plat::reg::kDword, one, 4),
            plat::reg::kSuccess);
  plat::RegKey readOnly = 0;
  ASSERT_EQ(backend.OpenKeyRead(plat::kHKeyCurrentUser, key_, readOnly), plat::reg::kSuccess);
  EXPECT_EQ(backend.QueryValue(readOnly, "Remote Connection", type, data), plat::reg::kSuccess);
  EXPECT_EQ(data, std::vector<std::uint8_t>(one, one + 4));
  EXPECT_EQ(backend.SetValue(readOnly, "x", plat::reg::kDword, one, 4), plat::reg::kAccessDenied);
  EXPECT_EQ(backend.CloseKey(readOnly), plat::reg::kSuccess);
  EXPECT_EQ(backend.FlushKey(key), plat::reg::kSuccess);
  EXPECT_EQ(backend.CloseKey(key), plat::reg::kSuccess);
  EXPECT_EQ(backend.CloseKey(plat::kHKeyCurrentUser), plat::reg::kSuccess);
}

}  // namespace
