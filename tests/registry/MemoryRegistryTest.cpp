// The in-memory registry behaves like the Windows one where callers can tell: names without
// regard to case, result codes, handles to deleted keys, and its test hooks do what they say.
#include "platform/MemoryRegistry.h"

#include <gtest/gtest.h>

namespace plat {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

class MemoryRegistryTest : public ::testing::Test {
 protected:
  RegKey Create(RegKey parent, const std::string& path) {
    RegKey key = 0;
    EXPECT_EQ(reg::kSuccess, r.CreateKey(parent, path, key)) << path;
    return key;
  }
  MemoryRegistry r;
};

TEST_F(MemoryRegistryTest, KeyAndValueNamesIgnoreCaseButKeepTheirSpelling) {
  RegKey k = Create(kHKeyLocalMachine, "SOFTWARE\\Nortavia");
  const auto data = Bytes("x");
  ASSERT_EQ(reg::kSuccess, r.SetValue(k, "Path", reg::kSz, data.data(), data.size()));
  RegKey again = 0;
  ASSERT_EQ(reg::kSuccess, r.OpenKey(kHKeyLocalMachine, "software\\NORTAVIA", again));
  std::uint32_t type = 0;
  std::vector<std::uint8_t> got;
  EXPECT_EQ(reg::kSuccess, r.QueryValue(again, "PATH", type, got));
  EXPECT_EQ(reg::kSz, type);
  EXPECT_EQ(data, got);

  RegKey root = 0;
  ASSERT_EQ(reg::kSuccess, r.OpenKey(kHKeyLocalMachine, "", root));
  std::string name;
  EXPECT_EQ(reg::kSuccess, r.EnumKey(root, 0, name));
  EXPECT_EQ("SOFTWARE", name);
  EXPECT_EQ(reg::kNoMoreItems, r.EnumKey(root, 1, name));
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Nortavia", r.KeyPath(again));
  for (RegKey h : {k, again, root}) EXPECT_EQ(reg::kSuccess, r.CloseKey(h));
  EXPECT_EQ(0u, r.OpenHandleCount());
}

TEST_F(MemoryRegistryTest, RootsAreSeparateAndOpeningNeverCreates) {
  Create(kHKeyCurrentUser, "Software\\A");
  EXPECT_TRUE(r.KeyExists(kHKeyCurrentUser, "Software\\A"));
  EXPECT_FALSE(r.KeyExists(kHKeyLocalMachine, "Software\\A"));
  EXPECT_FALSE(r.KeyExists(kHKeyUsers, "Software"));
  EXPECT_FALSE(r.KeyExists(kHKeyClassesRoot, "Software"));
  RegKey k = 0;
  EXPECT_EQ(reg::kFileNotFound, r.OpenKey(kHKeyCurrentUser, "Software\\B", k));
  EXPECT_FALSE(r.KeyExists(kHKeyCurrentUser, "Software\\B"));
}

TEST_F(MemoryRegistryTest, MalformedPathsAndHandlesAreRefused) {
  RegKey k = 0;
  EXPECT_EQ(reg::kBadPathname, r.CreateKey(kHKeyCurrentUser, "\\A", k));
  EXPECT_EQ(reg::kBadPathname, r.CreateKey(kHKeyCurrentUser, "A\\\\B", k));
  EXPECT_EQ(reg::kSuccess, r.CreateKey(kHKeyCurrentUser, "A\\B\\", k));  // trailing "\" is fine
  EXPECT_TRUE(r.KeyExists(kHKeyCurrentUser, "A\\B"));
  EXPECT_EQ(reg::kInvalidHandle, r.OpenKey(0x12345, "A", k));
  EXPECT_EQ(reg::kInvalidHandle, r.CloseKey(0x12345));
  EXPECT_EQ(reg::kSuccess, r.CloseKey(kHKeyCurrentUser));  // predefined keys: a no-op
}

TEST_F(MemoryRegistryTest, DeleteKeyRefusesKeysWithSubkeysAndInvalidatesOpenHandles) {
  RegKey parent = Create(kHKeyCurrentUser, "P");
  RegKey child = Create(kHKeyCurrentUser, "P\\C");
  EXPECT_EQ(reg::kAccessDenied, r.DeleteKey(kHKeyCurrentUser, "P"));
  EXPECT_EQ(reg::kSuccess, r.DeleteKey(parent, "c"));
  EXPECT_EQ(reg::kFileNotFound, r.DeleteKey(parent, "C"));
  EXPECT_EQ(reg::kSuccess, r.DeleteKey(kHKeyCurrentUser, "P"));
  EXPECT_FALSE(r.KeyExists(kHKeyCurrentUser, "P"));

  // Both handles outlive their keys: they answer "key deleted" and still name their path.
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_EQ(reg::kKeyDeleted, r.QueryValue(child, "", type, data));
  EXPECT_EQ(reg::kKeyDeleted, r.SetValue(parent, "v", reg::kDword, nullptr, 0));
  EXPECT_EQ("HKEY_CURRENT_USER\\P\\C", r.KeyPath(child));
  EXPECT_EQ(reg::kSuccess, r.CloseKey(child));
  EXPECT_EQ(reg::kSuccess, r.CloseKey(parent));
  EXPECT_EQ(reg::kInvalidParameter, r.DeleteKey(kHKeyCurrentUser, ""));
}

TEST_F(MemoryRegistryTest, ValuesKeepTypeAndBytes) {
  RegKey k = Create(kHKeyUsers, "V");
  const std::uint8_t dword[4] = {1, 0, 0, 0};
  const std::uint8_t blob[3] = {0, 0xFF, 0};
  ASSERT_EQ(reg::kSuccess, r.SetValue(k, "d", reg::kDword, dword, 4));
  ASSERT_EQ(reg::kSuccess, r.SetValue(k, "b", reg::kBinary, blob, 3));
  ASSERT_EQ(reg::kSuccess, r.SetValue(k, "e", reg::kExpandSz, nullptr, 0));
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(r.GetValue(kHKeyUsers, "v", "D", type, data));
  EXPECT_EQ(reg::kDword, type);
  EXPECT_EQ(std::vector<std::uint8_t>(dword, dword + 4), data);
  ASSERT_TRUE(r.GetValue(kHKeyUsers, "V", "b", type, data));
  EXPECT_EQ(std::vector<std::uint8_t>(blob, blob + 3), data);
  ASSERT_TRUE(r.GetValue(kHKeyUsers, "V", "e", type, data));
  EXPECT_EQ(reg::kExpandSz, type);
  EXPECT_TRUE(data.empty());
  EXPECT_EQ(reg::kSuccess, r.DeleteValue(k, "B"));
  EXPECT_EQ(reg::kFileNotFound, r.DeleteValue(k, "b"));
  EXPECT_FALSE(r.GetValue(kHKeyUsers, "V", "b", type, data));
}

TEST_F(MemoryRegistryTest, InjectedFailuresHitOnlyWhatTheyName) {
  RegKey k = Create(kHKeyLocalMachine, "S\\K");
  r.FailOn(MemoryRegistry::Op::SetValue, "BAD", reg::kAccessDenied);
  r.FailOn(MemoryRegistry::Op::OpenKey, "hkey_local_machine\\s\\k");
  const auto data = Bytes("1");
  EXPECT_EQ(reg::kAccessDenied, r.SetValue(k, "bad", reg::kSz, data.data(), data.size()));
  EXPECT_EQ(reg::kSuccess, r.SetValue(k, "good", reg::kSz, data.data(), data.size()));
  RegKey other = 0;
  EXPECT_EQ(reg::kAccessDenied, r.OpenKey(kHKeyLocalMachine, "S\\K", other));
  EXPECT_EQ(reg::kSuccess, r.OpenKey(kHKeyLocalMachine, "S", other));
  // The key stays readable; what is opened for reading takes no writes.
  RegKey readOnly = 0;
  ASSERT_EQ(reg::kSuccess, r.OpenKeyRead(kHKeyLocalMachine, "S\\K", readOnly));
  std::uint32_t readType = 0;
  std::vector<std::uint8_t> read;
  EXPECT_EQ(reg::kSuccess, r.QueryValue(readOnly, "good", readType, read));
  EXPECT_EQ(data, read);
  EXPECT_EQ(reg::kAccessDenied, r.SetValue(readOnly, "good", reg::kSz, data.data(), data.size()));
  EXPECT_EQ(reg::kAccessDenied, r.DeleteValue(readOnly, "good"));
  RegKey sub = 0;
  EXPECT_EQ(reg::kAccessDenied, r.CreateKey(readOnly, "Sub", sub));
  EXPECT_EQ(reg::kSuccess, r.CloseKey(readOnly));

  r.ClearFailures();
  r.FailCall(2, reg::kInvalidHandle);
  std::uint32_t type = 0;
  std::vector<std::uint8_t> got;
  EXPECT_EQ(reg::kSuccess, r.QueryValue(k, "good", type, got));
  EXPECT_EQ(reg::kInvalidHandle, r.QueryValue(k, "good", type, got));
  EXPECT_EQ(reg::kSuccess, r.QueryValue(k, "good", type, got));

  // A failed close still releases the handle.
  r.FailOn(MemoryRegistry::Op::CloseKey, "");
  EXPECT_NE(reg::kSuccess, r.CloseKey(k));
  EXPECT_NE(reg::kSuccess, r.CloseKey(other));
  EXPECT_EQ(0u, r.OpenHandleCount());
}

TEST_F(MemoryRegistryTest, FlushesAreCountedPerKeyAndResetForgetsEverything) {
  RegKey k = Create(kHKeyCurrentUser, "F");
  EXPECT_EQ(reg::kSuccess, r.FlushKey(k));
  EXPECT_EQ(reg::kSuccess, r.FlushKey(k));
  EXPECT_EQ(2, r.FlushCount());
  EXPECT_EQ(2, r.FlushCount("hkey_current_user\\f"));
  EXPECT_EQ(0, r.FlushCount("HKEY_CURRENT_USER"));
  r.Reset();
  EXPECT_EQ(0, r.FlushCount());
  EXPECT_EQ(0u, r.OpenHandleCount());
  EXPECT_FALSE(r.KeyExists(kHKeyCurrentUser, "F"));
  EXPECT_EQ(reg::kInvalidHandle, r.FlushKey(k));
}

TEST(SystemRegistryTest, IsOneProcessWideInstance) {
  EXPECT_EQ(&SystemRegistry(), &SystemRegistry());
}

}  // namespace
}  // namespace plat
