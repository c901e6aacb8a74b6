// The in-memory file layer: the conformance suite on it, and what the tests set on it that no
// real layer has: free space as they choose, and files held by another program.
#include <gtest/gtest.h>

#include "FileConformance.h"
#include "support/MemoryFileSystem.h"

namespace filetest {

namespace {

class MemoryScratch : public Scratch {
 public:
  MemoryScratch() {
    files_.SetFreeSpace(std::int64_t{1} << 32);
    files_.ForceDirectories(Base());
  }
  plat::FileSystem& Files() override { return files_; }
  std::string Base() const override { return "c:\\scratch"; }

 private:
  testsupport::MemoryFileSystem files_;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(Memory, FileConformance,
                         ::testing::Values(FileImplementation{"memory", [] {
                           return std::unique_ptr<Scratch>(new MemoryScratch);
                         }}));

TEST(MemoryFiles, FreeSpaceAndHoldingAreWhatTheTestSet) {
  testsupport::MemoryFileSystem fs;
  EXPECT_EQ(fs.FreeSpace("c:\\"), -1) << "the system cannot tell until the test says";
  fs.SetFreeSpace(12345);
  EXPECT_EQ(fs.FreeSpace("c:\\"), 12345);
  fs.Create("c:\\held.exe");
  fs.Hold("C:\\HELD.EXE");
  EXPECT_FALSE(fs.CanOpenExclusive("c:\\held.exe"));
  EXPECT_TRUE(fs.FileExists("c:\\held.exe"));
}

}  // namespace filetest
