// The folder list and the drive list over the file layer's drive mapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "support/ScratchDrive.h"
#include "platform/Files.h"
#include "platform/gui/Application.h"
#include "platform/gui/FileControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/HeadlessBackend.h"

namespace gui {
namespace {

class FileControlsTest : public testsupport::ScratchDriveTest {
 protected:
  void SetUp() override {
    plat::FileSystem& fs = plat::RealFileSystem();
    ASSERT_TRUE(fs.ForceDirectories(Path("uno\\due")));
    ASSERT_TRUE(fs.ForceDirectories(Path("alfa")));
    testsupport::WriteWholeFile(Path("file.txt"), "x");
    form_ = app_.CreateForm<TForm>();
    list_ = Create<TDirectoryListBox>(form_);
    list_->SetParent(form_);
    drives_ = new TDriveComboBox(form_);
    drives_->SetParent(form_);
    drives_->SetDirList(list_);
    list_->OnChange = [this](TComponent*) { changes_.push_back(list_->Directory()); };
    form_->Show();
  }
  HeadlessBackend gui_;
  TApplication app_{gui_};
  TForm* form_ = nullptr;
  TDirectoryListBox* list_ = nullptr;
  TDriveComboBox* drives_ = nullptr;
  std::vector<std::string> changes_;
};

TEST_F(FileControlsTest, ListShowsLevelsThenSubfoldersOnly) {
  list_->SetDirectory(Base());
  const auto& items = list_->Items();
  ASSERT_GE(items.size(), 3u);
  EXPECT_EQ(items.front(), Base().substr(0, 3));  // "c:\"
  const std::vector<std::string> subfolders(items.begin() + list_->LevelCount(), items.end());
  EXPECT_EQ(subfolders, (std::vector<std::string>{"alfa", "uno"}));
  EXPECT_EQ(changes_, (std::vector<std::string>{Base()}));
}

TEST_F(FileControlsTest, OpeningEntriesMovesDownAndUpAndRaisesChange) {
  list_->SetDirectory(Base());
  changes_.clear();
  ASSERT_TRUE(list_->UserOpenSubfolder("uno"));
  ASSERT_TRUE(list_->UserOpenSubfolder("due"));
  EXPECT_EQ(list_->Directory(), Base() + "\\uno\\due");
  ASSERT_TRUE(list_->UserOpen(0));  // the drive root
  EXPECT_EQ(list_->Directory(), Base().substr(0, 3));
  EXPECT_EQ(changes_.size(), 3u);
  EXPECT_FALSE(list_->UserOpen(999));
  EXPECT_FALSE(list_->UserOpenSubfolder("file.txt"));
}

TEST_F(FileControlsTest, SameFolderInOtherCaseIsNoChange) {
  list_->SetDirectory(Base());
  changes_.clear();
  std::string upper = Base();
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  list_->SetDirectory(upper);
  EXPECT_TRUE(changes_.empty());
}

TEST_F(FileControlsTest, DriveChoiceMovesTheListToThatDrivesLastFolder) {
  // Drive letters that exist only in the POSIX file layer's mapping.
  if (!plat::RealFileSystem().ForceDirectories("d:\\dati")) GTEST_SKIP() << "no drive d:";
  list_->SetDirectory(Base());
  drives_->SetDrive('d');
  EXPECT_EQ(list_->Directory(), "d:\\");
  list_->UserOpenSubfolder("dati");
  drives_->SetDrive('c');
  EXPECT_EQ(list_->Directory(), Base());
  drives_->SetDrive('d');
  EXPECT_EQ(list_->Directory(), "d:\\dati");
}

TEST_F(FileControlsTest, DriveListHoldsTheMappedDrives) {
  const bool extraDrive = plat::RealFileSystem().ForceDirectories("e:\\");
  const std::vector<std::string> expected = plat::DriveList();
  const TDriveComboBox fresh(form_);
  EXPECT_EQ(fresh.Items(), expected);
  EXPECT_NE(std::find(expected.begin(), expected.end(), "c:\\"), expected.end());
  // In the POSIX file layer a new folder under the drive root is a new drive.
  if (extraDrive) {
    EXPECT_NE(std::find(expected.begin(), expected.end(), "e:\\"), expected.end());
  }
}

}  // namespace
}  // namespace gui
