// A fresh scratch folder per test. On the POSIX file layer it also points the drive root at a new
// empty folder, so that "c:\..." paths of a test land there and nowhere else; on Win32 the
// folder is a new one under the user's temporary folder. Paths are Windows-style throughout.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace testsupport {

class ScratchDrive {
 public:
  ScratchDrive();
  ~ScratchDrive();
  ScratchDrive(const ScratchDrive&) = delete;
  ScratchDrive& operator=(const ScratchDrive&) = delete;

  // The scratch folder, without a trailing "\".
  const std::string& Base() const { return base_; }
  // Base() + "\" + relative ("a\b.txt").
  std::string Path(const std::string& relative) const { return base_ + "\\" + relative; }

 private:
  std::string previousRoot_;
  std::string driveRoot_;  // POSIX folder made for this drive root
  std::string base_;
};

// Whole files through the platform's file layer.
void WriteWholeFile(const std::string& path, const std::string& bytes);
void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
std::string ReadWholeFile(const std::string& path);
// Deletes a folder with everything in it; true when it is gone.
bool RemoveTree(const std::string& path);

// A test fixture holding a ScratchDrive.
class ScratchDriveTest : public ::testing::Test {
 protected:
  ScratchDrive drive_;
  std::string Path(const std::string& relative) const { return drive_.Path(relative); }
  const std::string& Base() const { return drive_.Base(); }
};

}  // namespace testsupport
