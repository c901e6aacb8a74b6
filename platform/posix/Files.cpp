// The file layer on POSIX: the system's file calls under this layer's Windows path rules, for
// lumipack on Linux as much as for the native build's tests. Windows paths are mapped onto a
// folder tree: "X:\a\b" becomes "<drive root>/x/a/b", "\" and "/" both separate, rooted POSIX
// paths stay as they are and other paths are relative to the current folder. As on Windows,
// the components of a Windows path find existing entries whatever their letter case. DOS
// date-times are local time.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/CodePage.h"
#include "platform/Error.h"
#include "platform/Files.h"

namespace plat {

namespace {

std::mutex& StateMutex() {
  static std::mutex m;
  return m;
}

std::string& DriveRootSetting() {
  static std::string root;
  return root;
}

std::string& ModuleOverride() {
  static std::string path;
  return path;
}

std::string DefaultDriveRoot() {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  return base + "/lumidesk-drives";
}

bool IsDriveLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

// Windows compares file names without regard to letter case, in its code page.
bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AnsiUpperChar(static_cast<unsigned char>(a[i])) !=
        AnsiUpperChar(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

bool EntryExists(const std::string& posix) {
  struct stat st;
  return ::lstat(posix.c_str(), &st) == 0;
}

// The entry of the folder whose name equals `name` but for letter case, or "" when there is
// none. Should the host hold several such entries (its names are case-sensitive), the
// byte-wise first one is taken, so that every call picks the same entry.
std::string MatchInFolder(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::string();
  std::string match;
  while (const dirent* e = ::readdir(dir)) {
    const std::string entry = e->d_name;
    if (SameNameIgnoringCase(entry, name) && (match.empty() || entry < match)) match = entry;
  }
  ::closedir(dir);
  return match;
}

// `prefix` + `rest` (a POSIX path), where each component of `rest` that does not exist with the
// given spelling takes the spelling of an entry of its folder that differs only in letter case,
// as Windows finds it. The exact path is tried first, so a name that exists as given costs one
// lstat; a folder is listed only on a miss. From the first component that matches nothing on,
// the spelling given is kept: that is where new entries get created, under the names asked for.
std::string ResolveCase(const std::string& prefix, const std::string& rest) {
  std::string out = prefix + rest;
  if (EntryExists(out)) return out;
  out = prefix;
  std::size_t pos = 0;
  while (pos < rest.size()) {
    if (rest[pos] == '/') {
      out += '/';
      ++pos;
      continue;
    }
    std::size_t end = rest.find('/', pos);
    if (end == std::string::npos) end = rest.size();
    const std::string name = rest.substr(pos, end - pos);
    if (name != "." && name != ".." && !EntryExists(out + name)) {
      const std::string match = MatchInFolder(out, name);
      if (match.empty()) return out + rest.substr(pos);  // nothing below can exist either
      out += match;
    } else {
      out += name;
    }
    pos = end;
  }
  return out;
}

// The POSIX path for a path of this layer. Paths that came as Windows paths (with a drive
// letter, or relative with "\" separators) find their entries regardless of letter case;
// rooted POSIX paths and plain relative ones are taken as spelled.
std::string MapPath(const std::string& path) {
  std::string rest = path;
  std::string prefix;
  bool windows = false;
  if (rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == ':') {
    windows = true;
    prefix = DriveRoot() + "/" +
             static_cast<char>(std::tolower(static_cast<unsigned char>(rest[0])));
    rest = rest.substr(2);
    if (!rest.empty() && rest[0] != '\\' && rest[0] != '/') prefix += '/';
  } else {
    windows = !rest.empty() && rest[0] != '/' && rest.find('\\') != std::string::npos;
  }
  std::replace(rest.begin(), rest.end(), '\\', '/');
  return windows ? ResolveCase(prefix, rest) : prefix + rest;
}

std::string Describe(const std::string& what, const std::string& path, int err) {
  return what + " \"" + path + "\". " + std::strerror(err);
}

class PosixFileStream : public FileStream {
 public:
  PosixFileStream(int fd, std::string path, bool writable)
      : fd_(fd), path_(std::move(path)), writable_(writable) {}
  ~PosixFileStream() override { ::close(fd_); }
  PosixFileStream(const PosixFileStream&) = delete;
  PosixFileStream& operator=(const PosixFileStream&) = delete;

  std::int32_t Read(void* buffer, std::int32_t count) override {
    std::int32_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
      const ssize_t n = ::read(fd_, out + done, static_cast<std::size_t>(count - done));
      if (n < 0) {
        if (errno == EINTR) continue;
        throw StreamError(Describe("Cannot read file", path_, errno));
      }
      if (n == 0) break;
      done += static_cast<std::int32_t>(n);
    }
    return done;
  }

  std::int32_t Write(const void* buffer, std::int32_t count) override {
    std::int32_t done = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (done < count) {
      const ssize_t n = ::write(fd_, in + done, static_cast<std::size_t>(count - done));
      if (n < 0) {
        if (errno == EINTR) continue;
        if (errno == ENOSPC) break;  // a full disk is a short write, as on Windows
        throw StreamError(Describe("Cannot write file", path_, errno));
      }
      if (n == 0) break;
      done += static_cast<std::int32_t>(n);
    }
    return done;
  }

  std::int64_t Seek(std::int64_t offset, Origin origin) override {
    const int whence = origin == Origin::Begin ? SEEK_SET : origin == Origin::Current ? SEEK_CUR
                                                                                      : SEEK_END;
    const off_t pos = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (pos < 0) throw StreamError(Describe("Cannot seek in file", path_, errno));
    return static_cast<std::int64_t>(pos);
  }

  std::int64_t Size() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) throw StreamError(Describe("Cannot read file", path_, errno));
    return static_cast<std::int64_t>(st.st_size);
  }

  bool SetDosDateTime(std::int32_t dosDateTime) override {
    const auto v = static_cast<std::uint32_t>(dosDateTime);
    std::tm tm{};
    tm.tm_year = static_cast<int>((v >> 25) & 0x7F) + 80;
    tm.tm_mon = static_cast<int>((v >> 21) & 0x0F) - 1;
    tm.tm_mday = static_cast<int>((v >> 16) & 0x1F);
    tm.tm_hour = static_cast<int>((v >> 11) & 0x1F);
    tm.tm_min = static_cast<int>((v >> 5) & 0x3F);
    tm.tm_sec = static_cast<int>(v & 0x1F) * 2;
    tm.tm_isdst = -1;
    // Windows refuses a date-time that names no real moment; so does this layer, where mktime
    // would carry 30 February into March.
    if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 ||
        tm.tm_mday > DaysInMonth(tm.tm_year + 1900, tm.tm_mon) || tm.tm_hour > 23 ||
        tm.tm_min > 59 || tm.tm_sec > 59) {
      return false;
    }
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return false;
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // only the last write changes, as SetFileTime is used
    times[1].tv_sec = t;
    times[1].tv_nsec = 0;
    return ::futimens(fd_, times) == 0;
  }

  // fsync(2) takes a descriptor opened for reading too; Windows flushes only a handle that may
  // write.
  bool Flush() override { return writable_ && ::fsync(fd_) == 0; }

 private:
  static int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    return kDays[month] + (month == 1 && leap ? 1 : 0);
  }

  int fd_;
  std::string path_;
  bool writable_;
};

std::int32_t ToDosDateTime(std::time_t t) {
  std::tm tm{};
  if (localtime_r(&t, &tm) == nullptr) return -1;
  int year = tm.tm_year + 1900;
  if (year < 1980) return static_cast<std::int32_t>(0x00210000);  // 1 January 1980, the earliest
  if (year > 2107) year = 2107;
  const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9) |
                             (static_cast<std::uint32_t>(tm.tm_mon + 1) << 5) |
                             static_cast<std::uint32_t>(tm.tm_mday);
  const std::uint32_t time = (static_cast<std::uint32_t>(tm.tm_hour) << 11) |
                             (static_cast<std::uint32_t>(tm.tm_min) << 5) |
                             static_cast<std::uint32_t>(tm.tm_sec / 2);
  return static_cast<std::int32_t>((date << 16) | time);
}

class PosixFileSystem : public FileSystem {
 public:
  std::unique_ptr<FileStream> OpenRead(const std::string& path) override {
    return Open(path, O_RDONLY, "Cannot open file");
  }
  std::unique_ptr<FileStream> Create(const std::string& path) override {
    return Open(path, O_RDWR | O_CREAT | O_TRUNC, "Cannot create file");
  }
  std::unique_ptr<FileStream> OpenWrite(const std::string& path) override {
    return Open(path, O_RDWR, "Cannot open file");
  }

  bool FileExists(const std::string& path) override {
    struct stat st;
    return !path.empty() && ::stat(MapPath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }
  bool DirectoryExists(const std::string& path) override {
    struct stat st;
    return !path.empty() && ::stat(MapPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
  bool Exists(const std::string& path) override {
    struct stat st;
    return !path.empty() && ::stat(MapPath(path).c_str(), &st) == 0;
  }
  bool CreateDir(const std::string& path) override {
    return !path.empty() && ::mkdir(MapPath(path).c_str(), 0777) == 0;
  }
  bool ForceDirectories(const std::string& path) override {
    if (path.empty()) return false;
    std::string posix = MapPath(path);
    while (posix.size() > 1 && posix.back() == '/') posix.pop_back();
    return MakeChain(posix);
  }
  bool DeleteFile(const std::string& path) override {
    if (!FileExists(path)) return false;
    return ::unlink(MapPath(path).c_str()) == 0;
  }
  bool RemoveDir(const std::string& path) override {
    return !path.empty() && ::rmdir(MapPath(path).c_str()) == 0;
  }
  std::int32_t FileAge(const std::string& path) override {
    struct stat st;
    if (path.empty() || ::stat(MapPath(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return ToDosDateTime(st.st_mtime);
  }
  std::vector<DirEntry> ListDirectory(const std::string& path) override {
    std::vector<DirEntry> entries;
    const std::string posix = MapPath(path);
    DIR* dir = ::opendir(posix.c_str());
    if (dir == nullptr) return entries;
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      struct stat st;
      DirEntry entry;
      entry.name = name;
      entry.isDirectory = ::stat((posix + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      entries.push_back(entry);
    }
    ::closedir(dir);
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
  }

  bool RenameFile(const std::string& from, const std::string& to) override {
    if (from.empty() || to.empty() || !FileExists(from)) return false;
    const std::string source = MapPath(from);
    std::string target = MapPath(to);
    // `to` found `from` itself: Windows takes that for a new spelling of the file's name, not
    // for another entry to replace.
    if (target == source) {
      target = source.substr(0, source.rfind('/') + 1) + to.substr(to.find_last_of("\\/:") + 1);
      if (target == source) return true;
    }
    // rename(2) would replace `to`; RENAME_NOREPLACE refuses as Windows does. A file system
    // without it (EINVAL) gets a look first, which another process could race.
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
      if (errno != EINVAL && errno != ENOSYS) return false;
      if (EntryExists(target) || ::rename(source.c_str(), target.c_str()) != 0) return false;
    }
    // The new name is durable once the folder that holds it is.
    SyncFolderOf(target);
    return true;
  }

  // statvfs(2) answers for a file as well; Windows only for a folder.
  std::int64_t FreeSpace(const std::string& folder) override {
    struct statvfs st;
    if (!DirectoryExists(folder) || ::statvfs(MapPath(folder).c_str(), &st) != 0) return -1;
    return static_cast<std::int64_t>(st.f_bavail) * static_cast<std::int64_t>(st.f_frsize);
  }

  // POSIX has no sharing modes: a file is never held against writing by another program.
  bool CanOpenExclusive(const std::string& path) override {
    return FileExists(path) && ::access(MapPath(path).c_str(), W_OK) == 0;
  }

 private:
  static void SyncFolderOf(const std::string& posix) {
    const std::size_t slash = posix.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : posix.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
  }

  static std::unique_ptr<FileStream> Open(const std::string& path, int flags, const char* what) {
    if (path.empty()) throw Error(std::string(what) + " \"\".");
    const std::string posix = MapPath(path);
    struct stat st;
    // Opening a folder as a file fails on Windows; open(2) would accept it for reading.
    if (::stat(posix.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) throw Error(Describe(what, path, EISDIR));
    const int fd = ::open(posix.c_str(), flags | O_CLOEXEC, 0666);
    if (fd < 0) throw Error(Describe(what, path, errno));
    return std::make_unique<PosixFileStream>(fd, path, (flags & O_ACCMODE) != O_RDONLY);
  }

  static bool MakeChain(const std::string& posix) {
    struct stat st;
    if (::stat(posix.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
    const std::size_t slash = posix.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeChain(posix.substr(0, slash))) return false;
    if (::mkdir(posix.c_str(), 0777) == 0) return true;
    return errno == EEXIST && ::stat(posix.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }
};

}  // namespace

FileSystem& RealFileSystem() {
  static PosixFileSystem fs;
  return fs;
}

void SetDriveRoot(const std::string& posixFolder) {
  std::lock_guard<std::mutex> lock(StateMutex());
  DriveRootSetting() = posixFolder;
}

std::string DriveRoot() {
  std::lock_guard<std::mutex> lock(StateMutex());
  if (DriveRootSetting().empty()) return DefaultDriveRoot();
  return DriveRootSetting();
}

std::vector<std::string> DriveList() {
  std::vector<std::string> drives;
  for (const DirEntry& e : RealFileSystem().ListDirectory(DriveRoot())) {
    if (e.isDirectory && e.name.size() == 1 && IsDriveLetter(e.name[0]) &&
        std::islower(static_cast<unsigned char>(e.name[0]))) {
      drives.push_back(e.name + ":\\");
    }
  }
  return drives;
}

std::string ModuleFileName() {
  {
    std::lock_guard<std::mutex> lock(StateMutex());
    if (!ModuleOverride().empty()) return ModuleOverride();
  }
  char buffer[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::string();
  return std::string(buffer, static_cast<std::size_t>(n));
}

void SetModuleFileNameOverride(const std::string& path) {
  std::lock_guard<std::mutex> lock(StateMutex());
  ModuleOverride() = path;
}

std::string SystemDirectory() { return "c:\\windows\\system32"; }

std::string CreateTempFolder(const std::string& prefix) {
  FileSystem& fs = RealFileSystem();
  const std::string parent = "c:\\tmp";
  if (!fs.ForceDirectories(parent)) throw Error("Cannot create folder \"" + parent + "\".");
  std::string templ = MapPath(parent) + "/" + prefix + "-XXXXXX";
  if (::mkdtemp(&templ[0]) == nullptr) throw Error(Describe("Cannot create folder", parent, errno));
  return parent + "\\" + templ.substr(templ.find_last_of('/') + 1);
}

}  // namespace plat
