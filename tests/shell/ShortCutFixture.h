// Shared set-up of the shortcut tests: a scratch folder with the test shell's special folders,
// an in-memory registry, a component configured as the wizard configures MyShortCut1, and
// helpers to look at links and folders.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestShell.h"
#include "support/ScratchDrive.h"
#include "platform/Files.h"
#include "platform/MemoryRegistry.h"
#include "shell/ShortCut.h"

namespace shelltest {

// The wizard form's settings of MyShortCut1.
void ConfigureAsWizard(shell::TMyShortCut& component);

class ShortCutTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::unique_ptr<shell::TMyShortCut> NewComponent();

  std::string StartMenu() const { return shell_->FolderOf(plat::SpecialFolder::kStartMenu); }
  std::string Programs() const { return shell_->FolderOf(plat::SpecialFolder::kPrograms); }
  std::string Desktop() const {
    return shell_->FolderOf(plat::SpecialFolder::kDesktopDirectory);
  }

  bool FileExists(const std::string& path) { return plat::RealFileSystem().FileExists(path); }
  bool FolderExists(const std::string& path) {
    return plat::RealFileSystem().DirectoryExists(path);
  }
  // Reads a link back; fails the test when it is not there.
  plat::LinkInfo Link(const std::string& path);
  void WriteFile(const std::string& path, const std::string& content) {
    testsupport::WriteWholeFile(path, content);
  }

  testsupport::ScratchDrive drive_;
  std::string base_;      // scratch folder
  std::string program_;   // installed program path used as FilePathName
  std::unique_ptr<TestShell> shell_;
  plat::MemoryRegistry registry_;
  std::unique_ptr<shell::TMyShortCut> sc_;  // configured as the wizard configures it
};

}  // namespace shelltest
