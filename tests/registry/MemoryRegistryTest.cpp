// The in-memory registry: the conformance suite on it (what it does as the Windows registry
// does is there), and what it alone has: its test hooks and handles that name their keys.
#include "platform/MemoryRegistry.h"

#include <gtest/gtest.h>

#include "RegistryConformance.h"

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

// Handles to deleted keys still name their path, which is what failures are injected by.
TEST_F(MemoryRegistryTest, HandlesNameTheirKeysAsCreatedEvenOnceDeleted) {
  RegKey k = Create(kHKeyLocalMachine, "SOFTWARE\\Nortavia\\C");
  RegKey again = 0;
  ASSERT_EQ(reg::kSuccess, r.OpenKey(kHKeyLocalMachine, "software\\NORTAVIA", again));
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Nortavia", r.KeyPath(again));
  ASSERT_EQ(reg::kSuccess, r.DeleteKey(again, "c"));
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Nortavia\\C", r.KeyPath(k));
  for (RegKey h : {k, again}) EXPECT_EQ(reg::kSuccess, r.CloseKey(h));
  EXPECT_EQ(0u, r.OpenHandleCount());
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
  // The key stays readable: a key the user may read but not write.
  RegKey readOnly = 0;
  ASSERT_EQ(reg::kSuccess, r.OpenKeyRead(kHKeyLocalMachine, "S\\K", readOnly));
  std::uint32_t readType = 0;
  std::vector<std::uint8_t> read;
  EXPECT_EQ(reg::kSuccess, r.QueryValue(readOnly, "good", readType, read));
  EXPECT_EQ(data, read);
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

namespace registrytest {

INSTANTIATE_TEST_SUITE_P(Memory, RegistryConformance,
                         ::testing::Values(RegistryImplementation{
                             "memory", [] {
                               return std::shared_ptr<plat::RegistryBackend>(
                                   std::make_shared<plat::MemoryRegistry>());
                             }}));

}  // namespace registrytest
