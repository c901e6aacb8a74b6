#include "support/MemoryFileSystem.h"

#include <cstring>

#include "platform/CodePage.h"
#include "platform/Error.h"

namespace testsupport {

namespace {

// Whether a DOS date-time names a moment that exists: Windows refuses the others.
bool IsPossible(std::uint32_t dos) {
  static const unsigned kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const unsigned year = 1980 + (dos >> 25);
  const unsigned month = (dos >> 21) & 0x0F;
  const unsigned day = (dos >> 16) & 0x1F;
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
  const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
  if (month == 2 && day == 29 && !leap) return false;
  return ((dos >> 11) & 0x1F) <= 23 && ((dos >> 5) & 0x3F) <= 59 && (dos & 0x1F) <= 29;
}

class MemoryFileStream : public plat::FileStream {
 public:
  MemoryFileStream(std::shared_ptr<MemoryFileSystem::File> file, std::string path, bool writable)
      : file_(std::move(file)), path_(std::move(path)), writable_(writable) {}
  std::int32_t Read(void* buffer, std::int32_t count) override {
    std::vector<std::uint8_t>& b = file_->bytes;
    if (count <= 0 || pos_ >= b.size()) return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(count), b.size() - pos_);
    std::memcpy(buffer, b.data() + pos_, n);
    pos_ += n;
    return static_cast<std::int32_t>(n);
  }
  std::int32_t Write(const void* buffer, std::int32_t count) override {
    if (count <= 0) return 0;
    if (!writable_) throw plat::StreamError("Cannot write file \"" + path_ + "\".");
    std::vector<std::uint8_t>& b = file_->bytes;
    const std::size_t n = static_cast<std::size_t>(count);
    if (b.size() < pos_ + n) b.resize(pos_ + n);
    std::memcpy(b.data() + pos_, buffer, n);
    pos_ += n;
    return count;
  }
  std::int64_t Seek(std::int64_t offset, Origin origin) override {
    const std::int64_t base = origin == Origin::Begin ? 0
                              : origin == Origin::Current ? static_cast<std::int64_t>(pos_)
                                                          : static_cast<std::int64_t>(file_->bytes.size());
    if (offset < -base) throw plat::StreamError("Stream seek error");
    pos_ = static_cast<std::size_t>(base + offset);
    return static_cast<std::int64_t>(pos_);
  }
  std::int64_t Size() override { return static_cast<std::int64_t>(file_->bytes.size()); }
  bool SetDosDateTime(std::int32_t dosDateTime) override {
    if (!IsPossible(static_cast<std::uint32_t>(dosDateTime))) return false;
    file_->dosDateTime = dosDateTime;
    return true;
  }
  // Windows flushes only what a stream may write.
  bool Flush() override { return writable_; }

 private:
  std::shared_ptr<MemoryFileSystem::File> file_;
  std::string path_;  // as opened
  bool writable_;
  std::size_t pos_ = 0;
};

}  // namespace

std::string MemoryFileSystem::Key(const std::string& path) {
  std::string k;
  for (char c : path) {
    if (c == '/') c = '\\';
    c = static_cast<char>(plat::AnsiUpperChar(static_cast<unsigned char>(c)));
    if (c == '\\' && !k.empty() && k.back() == '\\') continue;
    k += c;
  }
  while (k.size() > 1 && k.back() == '\\') k.pop_back();
  return k;
}

std::string MemoryFileSystem::Parent(const std::string& key) {
  const std::size_t at = key.find_last_of('\\');
  return at == std::string::npos ? std::string() : key.substr(0, at);
}

bool MemoryFileSystem::IsDrive(const std::string& key) const {
  return key.size() == 2 && key[1] == ':';
}

std::unique_ptr<plat::FileStream> MemoryFileSystem::OpenRead(const std::string& path) {
  return Open(path, false);
}

std::unique_ptr<plat::FileStream> MemoryFileSystem::Open(const std::string& path, bool writable) {
  auto it = files_.find(Key(path));
  if (it == files_.end()) throw plat::Error("Cannot open file \"" + path + "\".");
  return std::make_unique<MemoryFileStream>(it->second, path, writable);
}

std::unique_ptr<plat::FileStream> MemoryFileSystem::Create(const std::string& path) {
  const std::string key = Key(path);
  if (dirs_.count(key) || !DirectoryExists(Parent(key)) || IsDrive(key)) {
    throw plat::Error("Cannot create file \"" + path + "\".");
  }
  auto& file = files_[key];
  if (!file) {
    file = std::make_shared<File>();
    file->path = path;  // an existing file keeps the spelling it was made with
  }
  file->bytes.clear();
  return std::make_unique<MemoryFileStream>(file, path, true);
}

std::unique_ptr<plat::FileStream> MemoryFileSystem::OpenWrite(const std::string& path) {
  return Open(path, true);
}

bool MemoryFileSystem::FileExists(const std::string& path) { return files_.count(Key(path)) > 0; }

bool MemoryFileSystem::DirectoryExists(const std::string& path) {
  const std::string key = Key(path);
  return IsDrive(key) || dirs_.count(key) > 0;
}

bool MemoryFileSystem::CreateDir(const std::string& given) {
  std::string path = given;
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  const std::string key = Key(path);
  if (key.empty() || DirectoryExists(key) || files_.count(key) || !DirectoryExists(Parent(key))) {
    return false;
  }
  dirs_[key] = path;
  return true;
}

bool MemoryFileSystem::ForceDirectories(const std::string& given) {
  std::string path = given;
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  const std::string key = Key(path);
  if (key.empty() || files_.count(key)) return false;
  if (DirectoryExists(key)) return true;
  const std::string parent = Parent(key);
  const std::size_t cut = path.find_last_of("\\/");
  if (parent.empty() || cut == std::string::npos || !ForceDirectories(path.substr(0, cut))) {
    return false;
  }
  dirs_[key] = path;
  return true;
}

bool MemoryFileSystem::DeleteFile(const std::string& path) { return files_.erase(Key(path)) > 0; }

bool MemoryFileSystem::RemoveDir(const std::string& path) {
  const std::string key = Key(path);
  if (!dirs_.count(key) || !ListDirectory(path).empty()) return false;
  dirs_.erase(key);
  return true;
}

std::int32_t MemoryFileSystem::FileAge(const std::string& path) {
  auto it = files_.find(Key(path));
  return it == files_.end() ? -1 : it->second->dosDateTime;
}

std::vector<plat::DirEntry> MemoryFileSystem::ListDirectory(const std::string& path) {
  const std::string key = Key(path);
  std::map<std::string, bool> entries;
  for (const auto& d : dirs_)
    if (Parent(d.first) == key) entries[plat::ExtractFileName(d.second)] = true;
  for (const auto& f : files_)
    if (Parent(f.first) == key) entries[plat::ExtractFileName(f.second->path)] = false;
  std::vector<plat::DirEntry> out;
  for (const auto& e : entries) out.push_back({e.first, e.second});
  return out;
}

bool MemoryFileSystem::RenameFile(const std::string& from, const std::string& to) {
  const std::string source = Key(from);
  const std::string target = Key(to);
  auto it = files_.find(source);
  // The file's own name in other letters is no other entry: Windows renames it to that spelling.
  if (it == files_.end() || (target != source && files_.count(target)) || dirs_.count(target) ||
      !DirectoryExists(Parent(target))) {
    return false;
  }
  std::shared_ptr<File> file = it->second;
  files_.erase(it);
  file->path = to;
  files_[target] = file;
  return true;
}

bool MemoryFileSystem::CanOpenExclusive(const std::string& path) {
  return FileExists(path) && held_.count(Key(path)) == 0;
}

void MemoryFileSystem::Hold(const std::string& path) { held_.insert(Key(path)); }

void MemoryFileSystem::Clear() {
  files_.clear();
  dirs_.clear();
}

}  // namespace testsupport
