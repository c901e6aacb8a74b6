// RemoveCartella: the listed files of an installation folder, the bar advanced per entry, the
// folder removed only when emptied, and nothing deleted without a rooted folder.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestShell.h"
#include "platform/Error.h"
#include "platform/Files.h"
#include "platform/MemoryRegistry.h"
#include "platform/gui/ExtControls.h"
#include "shell/ShortCut.h"
#include "support/ProxyFileSystem.h"
#include "support/ScratchDrive.h"

namespace shelltest {
namespace {

// Writes a file, making its folders first.
void Put(const std::string& path, const std::string& content) {
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(plat::ExtractFilePath(path)));
  testsupport::WriteWholeFile(path, content);
}

// The platform's file layer, with a note of every call that looks at or removes something,
// taken with the bar's position at that moment; it can be told to fail one file's test.
class WatchedFiles : public testsupport::ProxyFileSystem {
 public:
  gui::TProgressBar* bar = nullptr;
  std::vector<std::string> calls;
  std::string failExistsOf;

  bool FileExists(const std::string& p) override {
    Note("exists", p);
    if (!failExistsOf.empty() && plat::ExtractFileName(p) == failExistsOf)
      throw plat::Error("device not ready");
    return ProxyFileSystem::FileExists(p);
  }
  bool DeleteFile(const std::string& p) override {
    Note("delete", p);
    return ProxyFileSystem::DeleteFile(p);
  }
  bool RemoveDir(const std::string& p) override {
    Note("rmdir", p);
    return ProxyFileSystem::RemoveDir(p);
  }

 private:
  void Note(const char* op, const std::string& path) {
    calls.push_back(std::string(op) + " " + (bar ? std::to_string(bar->Position()) : "-") + " " +
                    path);
  }
};

class RemoveCartellaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bar_.SetRange(0, 10);
    files_.bar = &bar_;
    shell_.reset(new TestShell(drive_.Base()));
    sc_.reset(new shell::TMyShortCut(nullptr, *shell_, files_, registry_));
    sc_->Setlistafile({"Lumidesk.EXE"});
  }
  std::string Folder() const { return drive_.Path("Lumidesk"); }
  std::string In(const std::string& name) const { return Folder() + "\\" + name; }
  static bool IsFile(const std::string& p) { return plat::RealFileSystem().FileExists(p); }
  static bool IsFolder(const std::string& p) { return plat::RealFileSystem().DirectoryExists(p); }

  testsupport::ScratchDrive drive_;
  gui::TProgressBar bar_{nullptr};
  WatchedFiles files_;
  std::unique_ptr<TestShell> shell_;
  plat::MemoryRegistry registry_;
  std::unique_ptr<shell::TMyShortCut> sc_;
};

TEST_F(RemoveCartellaTest, DeletesEachListedFileAdvancingTheBarThenTheEmptiedFolder) {
  Put(In("Lumidesk.EXE"), "p");
  Put(In("Modelli\\x.rtf"), "t");
  sc_->Setlistafile({"Lumidesk.EXE", "Modelli\\x.rtf", "missing.dll"});
  bar_.SetPosition(2);
  // Only the folder part of the path counts; the named file need not exist.
  sc_->RemoveCartella(In("Zentaro.exe"), &bar_);
  const std::vector<std::string> expected = {
      "exists 3 " + In("Lumidesk.EXE"),  "delete 3 " + In("Lumidesk.EXE"),
      "exists 4 " + In("Modelli\\x.rtf"), "delete 4 " + In("Modelli\\x.rtf"),
      "exists 5 " + In("missing.dll"),   // skipped, the bar still advances
      "rmdir 5 " + Folder(),
  };
  EXPECT_EQ(files_.calls, expected);
  EXPECT_FALSE(IsFile(In("Lumidesk.EXE")));
  EXPECT_FALSE(IsFile(In("Modelli\\x.rtf")));
  // The sub-folder is not listed, so the folder is not empty and stays.
  EXPECT_TRUE(IsFolder(In("Modelli")));
  EXPECT_TRUE(IsFolder(Folder()));
}

TEST_F(RemoveCartellaTest, TheFolderGoesOnlyWhenNothingElseIsLeft) {
  Put(In("Lumidesk.EXE"), "p");
  sc_->RemoveCartella(In("Zentaro.exe"), &bar_);
  EXPECT_FALSE(IsFolder(Folder()));
  EXPECT_EQ(bar_.Position(), 1);

  Put(In("Lumidesk.EXE"), "p");
  Put(In("user.doc"), "kept");
  sc_->RemoveCartella(In("Zentaro.exe"), &bar_);
  EXPECT_TRUE(IsFile(In("user.doc")));
  EXPECT_TRUE(IsFolder(Folder()));
}

TEST_F(RemoveCartellaTest, AnEmptyListOnlyTriesTheFolder) {
  ASSERT_TRUE(plat::RealFileSystem().ForceDirectories(Folder()));
  sc_->Setlistafile({});
  sc_->RemoveCartella(In("Zentaro.exe"), &bar_);
  EXPECT_EQ(files_.calls, std::vector<std::string>{"rmdir 0 " + Folder()});
  EXPECT_EQ(bar_.Position(), 0);
  EXPECT_FALSE(IsFolder(Folder()));
}

TEST_F(RemoveCartellaTest, APathWithoutARootedFolderDeletesNothing) {
  sc_->Setlistafile({"Lumidesk.EXE", "other.dll"});
  for (const char* path : {"", "Zentaro.exe", "sub\\Zentaro.exe", "c:Zentaro.exe", ".\\x"}) {
    files_.calls.clear();
    bar_.SetPosition(0);
    sc_->RemoveCartella(path, &bar_);
    EXPECT_TRUE(files_.calls.empty()) << path << ": " << files_.calls.front();
    EXPECT_EQ(bar_.Position(), 2) << path;  // the bar moves as for a list of missing files
  }
}

TEST_F(RemoveCartellaTest, AnErrorOnAnEntryEndsTheRemovalWithItsOwnMessage) {
  Put(In("a.dll"), "a");
  Put(In("c.dll"), "c");
  sc_->Setlistafile({"a.dll", "b.dll", "c.dll"});
  files_.failExistsOf = "b.dll";
  try {
    sc_->RemoveCartella(In("Zentaro.exe"), &bar_);
    FAIL() << "no error";
  } catch (const plat::Error& e) {
    EXPECT_STREQ(e.what(), "Errore cancellazione ditta");
  }
  EXPECT_FALSE(IsFile(In("a.dll")));
  EXPECT_TRUE(IsFile(In("c.dll")));  // the entries after the failing one are not done
  EXPECT_EQ(bar_.Position(), 2);
  EXPECT_EQ(files_.calls.back(), "exists 2 " + In("b.dll"));  // nor is the folder removal
}

TEST_F(RemoveCartellaTest, WorksWithoutABarAndWithARootedFolderWithoutDrive) {
  Put(In("Lumidesk.EXE"), "p");
  files_.bar = nullptr;
  sc_->RemoveCartella(In("Zentaro.exe"), nullptr);
  EXPECT_FALSE(IsFile(In("Lumidesk.EXE")));
  files_.calls.clear();
  sc_->RemoveCartella("\\nowhere\\Zentaro.exe", nullptr);
  EXPECT_EQ(files_.calls.front(), "exists - \\nowhere\\Lumidesk.EXE");
}

TEST_F(RemoveCartellaTest, ListedNamesFindInstalledFilesSpelledInAnotherCase) {
  // As installed: lower case, folder included; the list and the recorded path say otherwise.
  Put(drive_.Path("lumidesk\\lumidesk.exe"), "p");
  Put(drive_.Path("lumidesk\\modelli\\x.rtf"), "t");
  sc_->Setlistafile({"Lumidesk.EXE", "Modelli\\X.RTF"});
  sc_->RemoveCartella(In("Zentaro.exe"), &bar_);
  EXPECT_FALSE(IsFile(drive_.Path("lumidesk\\lumidesk.exe")));
  EXPECT_FALSE(IsFile(drive_.Path("lumidesk\\modelli\\x.rtf")));
  EXPECT_EQ(bar_.Position(), 2);
  // The emptied sub-folder is not listed, so the folder stays.
  EXPECT_TRUE(IsFolder(drive_.Path("lumidesk\\modelli")));

  ASSERT_TRUE(plat::RealFileSystem().RemoveDir(drive_.Path("lumidesk\\modelli")));
  Put(drive_.Path("lumidesk\\lumidesk.exe"), "p");
  sc_->Setlistafile({"Lumidesk.EXE"});
  sc_->RemoveCartella(In("Zentaro.exe"), &bar_);
  EXPECT_FALSE(IsFolder(drive_.Path("lumidesk")));  // emptied, so it goes too
}

}  // namespace
}  // namespace shelltest
