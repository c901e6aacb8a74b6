// The drive list and the folder list of the folder chooser. Both read the file layer
// (plat::DriveList, FileSystem::ListDirectory), so on POSIX they show the mapped drive letters
// and the folders below the drive root. Paths are Windows paths: "c:\" for a drive's root,
// "c:\a\b" (no trailing "\") below it.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/gui/Control.h"

namespace gui {

// The process's current folder as a Windows path (Win32: GetCurrentDirectoryA; POSIX: the
// working folder mapped back through the drive root, or the first drive's root when the
// working folder lies outside it).
std::string ProcessCurrentFolder();

class TDirectoryListBox : public TControl {
 public:
  explicit TDirectoryListBox(TComponent* owner, plat::FileSystem& fs = plat::RealFileSystem());

  // Starts at the process's current folder.
  void AfterConstruction() override;

  const std::string& Directory() const { return directory_; }
  // Moves to the folder (when it differs, ignoring letter case) and raises OnChange.
  void SetDirectory(const std::string& path);
  char Drive() const;
  // Moves to the folder last shown on that drive (its root the first time) and raises OnChange.
  void SetDrive(char letter);

  // The list as shown: the drive root, one entry per level of the current folder, then the
  // subfolders of the current folder.
  const std::vector<std::string>& Items() const { return items_; }
  // Number of leading entries that are the current folder's own levels (root included).
  int LevelCount() const { return levels_; }
  // The full path an entry stands for.
  std::string PathOfItem(int index) const;
  // The user opens an entry (double-click): moves there. False for an index outside the list
  // or a list that is not showing and enabled.
  bool UserOpen(int index);
  // Opens the subfolder with this name (convenience for drivers); false when it is not listed.
  bool UserOpenSubfolder(const std::string& name);

  TNotifyEvent OnChange;

 private:
  void BuildList();

  plat::FileSystem& fs_;
  std::string directory_;
  std::vector<std::string> items_;
  int levels_ = 0;
  std::map<char, std::string> lastOnDrive_;
};

class TDriveComboBox : public TControl {
 public:
  explicit TDriveComboBox(TComponent* owner);

  const std::vector<std::string>& Items() const { return items_; }
  char Drive() const { return drive_; }
  // Selects the drive; the linked folder list moves to it; OnChange runs.
  void SetDrive(char letter);
  TDirectoryListBox* DirList() const { return dirList_; }
  void SetDirList(TDirectoryListBox* list);
  // The user picks an entry of the list.
  bool UserSelect(int index);

  TNotifyEvent OnChange;

 private:
  std::vector<std::string> items_;
  char drive_ = 'c';
  TDirectoryListBox* dirList_ = nullptr;
};

}  // namespace gui
