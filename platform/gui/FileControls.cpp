// Drive and folder lists over the file layer.
#include "platform/gui/FileControls.h"

#include <cctype>

namespace gui {

namespace {
char LowerAscii(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool SameTextAscii(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// "c:\a\b" -> root "c:\" and levels {"a", "b"}. Both "\" and "/" separate.
void SplitPath(const std::string& path, std::string& root, std::vector<std::string>& levels) {
  levels.clear();
  std::size_t pos = 0;
  if (path.size() >= 2 && path[1] == ':') {
    root = path.substr(0, 2) + "\\";
    pos = 2;
  } else {
    root = "\\";
  }
  std::string part;
  for (; pos <= path.size(); ++pos) {
    if (pos == path.size() || path[pos] == '\\' || path[pos] == '/') {
      if (!part.empty()) levels.push_back(part);
      part.clear();
    } else {
      part += path[pos];
    }
  }
}

std::string JoinPath(const std::string& root, const std::vector<std::string>& levels,
                     std::size_t count) {
  std::string out = root;
  for (std::size_t i = 0; i < count && i < levels.size(); ++i) {
    if (i > 0) out += '\\';
    out += levels[i];
  }
  return out;
}
}  // namespace

TDirectoryListBox::TDirectoryListBox(TComponent* owner, plat::FileSystem& fs)
    : TControl(owner, kKindOf<TDirectoryListBox>), fs_(fs) {
  SetColor(clWindow);
}

void TDirectoryListBox::AfterConstruction() {
  directory_ = ProcessCurrentFolder();
  BuildList();
}

char TDirectoryListBox::Drive() const {
  return directory_.size() >= 2 && directory_[1] == ':' ? LowerAscii(directory_[0]) : '\0';
}

void TDirectoryListBox::SetDirectory(const std::string& path) {
  std::string root;
  std::vector<std::string> levels;
  SplitPath(path, root, levels);
  const std::string normal = JoinPath(root, levels, levels.size());
  if (SameTextAscii(normal, directory_)) return;
  directory_ = normal;
  if (Drive()) lastOnDrive_[Drive()] = directory_;
  BuildList();
  if (OnChange) OnChange(this);
}

void TDirectoryListBox::SetDrive(char letter) {
  letter = LowerAscii(letter);
  if (letter == Drive()) return;
  if (Drive()) lastOnDrive_[Drive()] = directory_;
  auto it = lastOnDrive_.find(letter);
  SetDirectory(it != lastOnDrive_.end() ? it->second : std::string(1, letter) + ":\\");
}

void TDirectoryListBox::BuildList() {
  std::string root;
  std::vector<std::string> levels;
  SplitPath(directory_, root, levels);
  items_.clear();
  items_.push_back(root);
  for (const auto& l : levels) items_.push_back(l);
  levels_ = static_cast<int>(items_.size());
  for (const plat::DirEntry& e : fs_.ListDirectory(directory_)) {
    if (e.isDirectory) items_.push_back(e.name);
  }
  Changed(Prop::Items);
}

std::string TDirectoryListBox::PathOfItem(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) return std::string();
  std::string root;
  std::vector<std::string> levels;
  SplitPath(directory_, root, levels);
  if (index < levels_) return JoinPath(root, levels, static_cast<std::size_t>(index));
  return plat::IncludeTrailingBackslash(directory_) + items_[static_cast<std::size_t>(index)];
}

bool TDirectoryListBox::UserOpen(int index) {
  if (!Showing() || !EffectivelyEnabled()) return false;
  if (index < 0 || index >= static_cast<int>(items_.size())) return false;
  SetDirectory(PathOfItem(index));
  return true;
}

bool TDirectoryListBox::UserOpenSubfolder(const std::string& name) {
  for (int i = levels_; i < static_cast<int>(items_.size()); ++i) {
    if (SameTextAscii(items_[static_cast<std::size_t>(i)], name)) return UserOpen(i);
  }
  return false;
}

TDriveComboBox::TDriveComboBox(TComponent* owner)
    : TControl(owner, kKindOf<TDriveComboBox>), items_(plat::DriveList()) {
  SetColor(clWindow);
  const std::string cur = ProcessCurrentFolder();
  if (cur.size() >= 2 && cur[1] == ':') drive_ = LowerAscii(cur[0]);
  else if (!items_.empty()) drive_ = LowerAscii(items_.front()[0]);
}

void TDriveComboBox::SetDirList(TDirectoryListBox* list) { dirList_ = list; }

void TDriveComboBox::SetDrive(char letter) {
  letter = LowerAscii(letter);
  if (letter == drive_) return;
  drive_ = letter;
  Changed(Prop::Items);
  if (dirList_) dirList_->SetDrive(letter);
  if (OnChange) OnChange(this);
}

bool TDriveComboBox::UserSelect(int index) {
  if (!Showing() || !EffectivelyEnabled()) return false;
  if (index < 0 || index >= static_cast<int>(items_.size())) return false;
  const std::string& item = items_[static_cast<std::size_t>(index)];
  if (item.empty()) return false;
  SetDrive(item[0]);
  return true;
}

}  // namespace gui
