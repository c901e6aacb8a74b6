// The Win32 registry back end: the conformance suite on the system registry, and that what it
// writes is what other programs read there with the raw registry functions.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/Registry.h"
#include "platform/RegistryBackend.h"
#include "tests/registry/RegistryConformance.h"

namespace {

// On 64-bit Windows the predefined keys are sign-extended handles: each of our roots must still
// reach its own hive, and a text must be stored as the REG_SZ other programs read.
TEST(Win32Registry, WritesReachTheSystemsHives) {
  const std::string key = "Software\\LumideskTests\\WritesReachTheSystemsHives";
  const struct {
    plat::RegKey root;
    HKEY hkey;
    const char* text;
  } hives[] = {{plat::kHKeyLocalMachine, HKEY_LOCAL_MACHINE, "machine"},
               {plat::kHKeyCurrentUser, HKEY_CURRENT_USER, "user"}};
  for (const auto& hive : hives) {
    plat::RegistryAccess reg;
    reg.SetRootKey(hive.root);
    reg.SetLazyWrite(false);
    ASSERT_TRUE(reg.OpenKey("\\" + key, true));
    reg.WriteString("Hive", hive.text);
  }
  for (const auto& hive : hives) {
    char text[16] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(RegGetValueA(hive.hkey, key.c_str(), "Hive", RRF_RT_REG_SZ, nullptr, text, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, hive.text);
    plat::RegistryAccess reg;
    reg.SetRootKey(hive.root);
    EXPECT_TRUE(reg.DeleteKey("\\" + key));
  }
}

}  // namespace

namespace registrytest {

INSTANTIATE_TEST_SUITE_P(Win32, RegistryConformance,
                         ::testing::Values(RegistryImplementation{
                             "win32", [] {
                               return std::shared_ptr<plat::RegistryBackend>(
                                   &plat::SystemRegistry(), [](plat::RegistryBackend*) {});
                             }}));

}  // namespace registrytest
