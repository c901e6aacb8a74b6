// The registry access object: root selection, path rules, current key, flushing, the three
// error texts, string reads and recursive deletion, all over the in-memory back end.
#include "platform/Registry.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/Error.h"
#include "platform/MemoryRegistry.h"

namespace plat {
namespace {

class RegistryAccessTest : public ::testing::Test {
 protected:
  void Put(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
           const std::vector<std::uint8_t>& data) {
    RegKey k = 0;
    ASSERT_EQ(reg::kSuccess, mem.CreateKey(root, path, k));
    ASSERT_EQ(reg::kSuccess, mem.SetValue(k, name, type, data.data(), data.size()));
    mem.CloseKey(k);
  }
  std::string ErrorOf(const std::function<void()>& f) {
    try {
      f();
    } catch (const Error& e) {
      return e.what();
    }
    return "(no error)";
  }
  MemoryRegistry mem;
};

TEST_F(RegistryAccessTest, StartsAtCurrentUserWithNoKeyAndLazyWriting) {
  RegistryAccess r(mem);
  EXPECT_EQ(kHKeyCurrentUser, r.RootKey());
  EXPECT_EQ(0u, r.CurrentKey());
  EXPECT_EQ("", r.CurrentPath());
  EXPECT_TRUE(r.LazyWrite());
}

TEST_F(RegistryAccessTest, ChangingTheRootClosesTheCurrentKeyKeepingTheSameRootDoesNot) {
  RegistryAccess r(mem);
  r.SetLazyWrite(false);
  ASSERT_TRUE(r.OpenKey("\\Software\\A", true));
  r.SetRootKey(kHKeyCurrentUser);
  EXPECT_NE(0u, r.CurrentKey());
  EXPECT_EQ(1u, mem.OpenHandleCount());

  r.SetRootKey(kHKeyLocalMachine);
  EXPECT_EQ(kHKeyLocalMachine, r.RootKey());
  EXPECT_EQ(0u, r.CurrentKey());
  EXPECT_EQ("", r.CurrentPath());
  EXPECT_EQ(0u, mem.OpenHandleCount());
  EXPECT_EQ(1, mem.FlushCount("HKEY_CURRENT_USER\\Software\\A"));

  // Relative paths now start at the new root.
  ASSERT_TRUE(r.OpenKey("Software\\B", true));
  EXPECT_TRUE(mem.KeyExists(kHKeyLocalMachine, "Software\\B"));
  EXPECT_FALSE(mem.KeyExists(kHKeyCurrentUser, "Software\\B"));
}

TEST_F(RegistryAccessTest, AbsoluteAndRelativePaths) {
  RegistryAccess r(mem);
  r.SetRootKey(kHKeyLocalMachine);
  ASSERT_TRUE(r.OpenKey("\\SOFTWARE\\NORTAVIA", true));
  EXPECT_EQ("SOFTWARE\\NORTAVIA", r.CurrentPath());

  // Relative: from the current key.
  ASSERT_TRUE(r.OpenKey("Zentaro", true));
  EXPECT_TRUE(mem.KeyExists(kHKeyLocalMachine, "SOFTWARE\\NORTAVIA\\Zentaro"));
  EXPECT_EQ("SOFTWARE\\NORTAVIA\\Zentaro", r.CurrentPath());
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE\\NORTAVIA\\Zentaro", mem.KeyPath(r.CurrentKey()));

  // A leading backslash goes back to the root although a key is current.
  ASSERT_TRUE(r.OpenKey("\\Other", true));
  EXPECT_TRUE(mem.KeyExists(kHKeyLocalMachine, "Other"));
  EXPECT_FALSE(mem.KeyExists(kHKeyLocalMachine, "SOFTWARE\\NORTAVIA\\Zentaro\\Other"));
  EXPECT_EQ("Other", r.CurrentPath());
  EXPECT_EQ(1u, mem.OpenHandleCount());  // the previous key was closed

  // Relative with no key open: from the root.
  r.CloseKey();
  ASSERT_TRUE(r.OpenKey("SOFTWARE", false));
  EXPECT_EQ("SOFTWARE", r.CurrentPath());
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\SOFTWARE", mem.KeyPath(r.CurrentKey()));
}

TEST_F(RegistryAccessTest, OpenWithoutCreateFailsOnAMissingKeyAndChangesNothing) {
  RegistryAccess r(mem);
  ASSERT_TRUE(r.OpenKey("\\Here", true));
  const RegKey before = r.CurrentKey();
  EXPECT_FALSE(r.OpenKey("\\Missing\\Deep", false));
  EXPECT_FALSE(r.OpenKey("Missing", false));
  EXPECT_FALSE(mem.KeyExists(kHKeyCurrentUser, "Missing"));
  EXPECT_FALSE(mem.KeyExists(kHKeyCurrentUser, "Here\\Missing"));
  EXPECT_EQ(before, r.CurrentKey());
  EXPECT_EQ("Here", r.CurrentPath());

  // A failing create changes nothing either.
  mem.FailOn(MemoryRegistry::Op::CreateKey, "");
  EXPECT_FALSE(r.OpenKey("\\New", true));
  EXPECT_EQ(before, r.CurrentKey());
  EXPECT_EQ(1u, mem.OpenHandleCount());
}

TEST_F(RegistryAccessTest, CreateMakesEveryMissingParent) {
  RegistryAccess r(mem);
  r.SetRootKey(kHKeyClassesRoot);
  ASSERT_TRUE(r.OpenKey("\\a\\b\\c\\d", true));
  for (const char* p : {"a", "a\\b", "a\\b\\c", "a\\b\\c\\d"}) {
    EXPECT_TRUE(mem.KeyExists(kHKeyClassesRoot, p)) << p;
  }
}

TEST_F(RegistryAccessTest, ClosingFlushesOnlyWithLazyWritingOff) {
  {
    RegistryAccess r(mem);
    ASSERT_TRUE(r.OpenKey("\\Lazy", true));
    r.CloseKey();
    EXPECT_EQ(0, mem.FlushCount());
    EXPECT_EQ(0u, mem.OpenHandleCount());
    r.CloseKey();  // nothing open: nothing happens
    EXPECT_EQ(0, mem.FlushCount());
  }
  RegistryAccess r(mem);
  r.SetLazyWrite(false);
  ASSERT_TRUE(r.OpenKey("\\Eager", true));
  r.WriteString("x", "1");
  r.CloseKey();
  EXPECT_EQ(1, mem.FlushCount("HKEY_CURRENT_USER\\Eager"));
  EXPECT_EQ(0u, r.CurrentKey());
  EXPECT_EQ("", r.CurrentPath());
  EXPECT_EQ(0u, mem.OpenHandleCount());
}

TEST_F(RegistryAccessTest, ReleasingTheObjectFlushesAndReleasesItsKey) {
  {
    RegistryAccess r(mem);
    r.SetRootKey(kHKeyLocalMachine);
    r.SetLazyWrite(false);
    ASSERT_TRUE(r.OpenKey("\\SOFTWARE\\NORTAVIA\\Zentaro", true));
    r.WriteString("Versione", "3.0.0.3");
    EXPECT_EQ(1u, mem.OpenHandleCount());
  }
  EXPECT_EQ(1, mem.FlushCount("HKEY_LOCAL_MACHINE\\SOFTWARE\\NORTAVIA\\Zentaro"));
  EXPECT_EQ(0u, mem.OpenHandleCount());
}

TEST_F(RegistryAccessTest, WriteStringStoresRegSzWithoutTerminator) {
  RegistryAccess r(mem);
  ASSERT_TRUE(r.OpenKey("\\W", true));
  r.WriteString("Dir", "c:\\programmi\\nortavia\\Lumidesk");
  r.WriteString("Empty", "");
  r.WriteString("Accent", "Citt\xE0");
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  ASSERT_TRUE(mem.GetValue(kHKeyCurrentUser, "W", "Dir", type, data));
  EXPECT_EQ(reg::kSz, type);
  EXPECT_EQ("c:\\programmi\\nortavia\\Lumidesk", std::string(data.begin(), data.end()));
  ASSERT_TRUE(mem.GetValue(kHKeyCurrentUser, "W", "Empty", type, data));
  EXPECT_TRUE(data.empty());
  EXPECT_EQ("Citt\xE0", r.ReadString("accent"));
}

TEST_F(RegistryAccessTest, ErrorTextsNameTheValue) {
  RegistryAccess r(mem);
  ASSERT_TRUE(r.OpenKey("\\E", true));
  Put(kHKeyCurrentUser, "E", "Count", reg::kDword, {1, 0, 0, 0});
  Put(kHKeyCurrentUser, "E", "Blob", reg::kBinary, {'a', 'b'});
  mem.FailOn(MemoryRegistry::Op::SetValue, "Nome");
  mem.FailOn(MemoryRegistry::Op::QueryValue, "Locked");

  EXPECT_EQ("Failed to set data for 'Nome'", ErrorOf([&] { r.WriteString("Nome", "x"); }));
  EXPECT_EQ("Invalid data type for 'Count'", ErrorOf([&] { r.ReadString("Count"); }));
  EXPECT_EQ("Invalid data type for 'Blob'", ErrorOf([&] { r.ReadString("Blob"); }));
  EXPECT_EQ("Failed to get data for 'Locked'", ErrorOf([&] { r.ReadString("Locked"); }));
  EXPECT_EQ("(no error)", ErrorOf([&] { r.WriteString("Other", "x"); }));
}

TEST_F(RegistryAccessTest, ReadStringEndsAtTheFirstZeroAndMissingValuesReadEmpty) {
  Put(kHKeyCurrentUser, "R", "Plain", reg::kSz, {'a', 'b', 'c'});
  Put(kHKeyCurrentUser, "R", "Terminated", reg::kSz, {'a', 'b', 'c', 0});
  Put(kHKeyCurrentUser, "R", "Embedded", reg::kSz, {'a', 0, 'b', 0});
  Put(kHKeyCurrentUser, "R", "Expand", reg::kExpandSz, {'%', 'W', '%', 0});
  Put(kHKeyCurrentUser, "R", "Nothing", reg::kSz, {});
  RegistryAccess r(mem);
  ASSERT_TRUE(r.OpenKey("\\R", false));
  EXPECT_EQ("abc", r.ReadString("Plain"));
  EXPECT_EQ("abc", r.ReadString("Terminated"));
  EXPECT_EQ("a", r.ReadString("Embedded"));
  EXPECT_EQ("%W%", r.ReadString("Expand"));
  EXPECT_EQ("", r.ReadString("Nothing"));
  EXPECT_EQ("", r.ReadString("Absent"));
  EXPECT_TRUE(r.ValueExists("plain"));
  EXPECT_FALSE(r.ValueExists("Absent"));
}

TEST_F(RegistryAccessTest, DeleteValueIgnoresMissingValues) {
  Put(kHKeyCurrentUser, "D", "Gone", reg::kSz, {'1'});
  RegistryAccess r(mem);
  ASSERT_TRUE(r.OpenKey("\\D", false));
  r.DeleteValue("Gone");
  EXPECT_FALSE(r.ValueExists("Gone"));
  EXPECT_NO_THROW(r.DeleteValue("Gone"));
}

TEST_F(RegistryAccessTest, DeleteKeyRemovesEverySubkeyDepthFirst) {
  RegKey k = 0;
  for (const char* p : {"T\\Zentaro\\One", "T\\Zentaro\\Two\\Deep\\Deeper", "T\\Zentaro\\Two\\Side",
                        "T\\Zentaro\\Three", "T\\Sibling"}) {
    ASSERT_EQ(reg::kSuccess, mem.CreateKey(kHKeyLocalMachine, p, k));
    mem.CloseKey(k);
  }
  RegistryAccess r(mem);
  r.SetRootKey(kHKeyLocalMachine);
  ASSERT_TRUE(r.OpenKey("\\T", false));
  const RegKey current = r.CurrentKey();
  EXPECT_TRUE(r.DeleteKey("\\T\\Zentaro"));
  EXPECT_FALSE(mem.KeyExists(kHKeyLocalMachine, "T\\Zentaro"));
  EXPECT_TRUE(mem.KeyExists(kHKeyLocalMachine, "T\\Sibling"));
  EXPECT_EQ(current, r.CurrentKey());
  EXPECT_EQ("T", r.CurrentPath());
  EXPECT_EQ(1u, mem.OpenHandleCount());  // only the current key

  // Relative to the current key; a missing key reports false.
  EXPECT_TRUE(r.DeleteKey("Sibling"));
  EXPECT_FALSE(mem.KeyExists(kHKeyLocalMachine, "T\\Sibling"));
  EXPECT_FALSE(r.DeleteKey("Sibling"));
  // An empty path never deletes the root or the current key.
  EXPECT_FALSE(r.DeleteKey(""));
  EXPECT_FALSE(r.DeleteKey("\\"));
  EXPECT_TRUE(mem.KeyExists(kHKeyLocalMachine, "T"));
}

TEST_F(RegistryAccessTest, ReadsAndWritesGoToTheRootWhenNoKeyIsOpen) {
  RegistryAccess r(mem);
  r.SetRootKey(kHKeyUsers);
  r.WriteString("AtRoot", "v");
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  EXPECT_TRUE(mem.GetValue(kHKeyUsers, "", "AtRoot", type, data));
  EXPECT_EQ("v", r.ReadString("AtRoot"));
}

// Every back-end call of a typical install-record session fails in turn: the object either
// reports failure (false or an exception) or succeeds, and never leaves a handle open.
TEST_F(RegistryAccessTest, AFailureAtAnyCallLeavesNoOpenHandle) {
  bool faultFired = true;
  for (long n = 1; faultFired && n < 200; ++n) {
    mem.Reset();
    RegKey k = 0;
    ASSERT_EQ(reg::kSuccess, mem.CreateKey(kHKeyLocalMachine, "SOFTWARE\\NORTAVIA\\Zentaro\\Sub", k));
    mem.CloseKey(k);
    const long before = mem.CallCount();
    mem.FailCall(n);
    try {
      RegistryAccess r(mem);
      r.SetRootKey(kHKeyLocalMachine);
      r.SetLazyWrite(false);
      if (r.OpenKey("\\SOFTWARE\\NORTAVIA\\Zentaro", true)) {
        r.WriteString("Name", "Lumidesk");
        EXPECT_EQ("Lumidesk", r.ReadString("Name"));
        r.CloseKey();
      }
      r.DeleteKey("\\SOFTWARE\\NORTAVIA\\Zentaro");
      r.OpenKey("\\SOFTWARE", false);
    } catch (const Error& e) {
      EXPECT_NE(std::string::npos, std::string(e.what()).find("'Name'")) << e.what();
    }
    faultFired = mem.CallCount() - before >= n;
    EXPECT_EQ(0u, mem.OpenHandleCount()) << "fault at call " << n;
  }
  EXPECT_FALSE(faultFired) << "the session never ran to the end without a fault";
}

}  // namespace
}  // namespace plat
