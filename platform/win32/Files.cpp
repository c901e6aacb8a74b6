// The file layer on the Win32 file API: file streams on handles, folders, DOS date-times in
// local time, the program's own path, the system folder and the drive list.
#include "platform/Files.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/win32/ScopedHandle.h"
#include "platform/win32/Win32Error.h"

// <windows.h> maps DeleteFile to DeleteFileA, which would rename our FileSystem method here.
#undef DeleteFile

namespace plat {
namespace {

using win32::DescribeError;
using win32::ScopedFind;
using win32::ScopedHandle;

bool IsDiskFull(DWORD code) { return code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL; }

class Win32FileStream : public FileStream {
 public:
  Win32FileStream(ScopedHandle handle, std::string path)
      : handle_(std::move(handle)), path_(std::move(path)) {}

  std::int32_t Read(void* buffer, std::int32_t count) override {
    if (count <= 0) return 0;
    DWORD done = 0;
    if (!ReadFile(handle_.Get(), buffer, static_cast<DWORD>(count), &done, nullptr)) {
      const DWORD code = GetLastError();
      throw StreamError(DescribeError("Cannot read", path_, code));
    }
    return static_cast<std::int32_t>(done);
  }

  // A full disk is a short write, as the stream contract says; any other failure is an error.
  std::int32_t Write(const void* buffer, std::int32_t count) override {
    if (count <= 0) return 0;
    DWORD done = 0;
    if (!WriteFile(handle_.Get(), buffer, static_cast<DWORD>(count), &done, nullptr)) {
      const DWORD code = GetLastError();
      if (!IsDiskFull(code)) throw StreamError(DescribeError("Cannot write", path_, code));
    }
    return static_cast<std::int32_t>(done);
  }

  std::int64_t Seek(std::int64_t offset, Origin origin) override {
    DWORD method = FILE_BEGIN;
    if (origin == Origin::Current) method = FILE_CURRENT;
    if (origin == Origin::End) method = FILE_END;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(handle_.Get(), distance, &position, method)) {
      const DWORD code = GetLastError();
      throw StreamError(DescribeError("Cannot seek in", path_, code));
    }
    return position.QuadPart;
  }

  std::int64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_.Get(), &size)) {
      const DWORD code = GetLastError();
      throw StreamError(DescribeError("Cannot get the size of", path_, code));
    }
    return size.QuadPart;
  }

  // The DOS date-time is local time; the file system keeps UTC.
  bool SetDosDateTime(std::int32_t dosDateTime) override {
    const auto packed = static_cast<std::uint32_t>(dosDateTime);
    FILETIME local;
    FILETIME utc;
    if (!DosDateTimeToFileTime(static_cast<WORD>(packed >> 16), static_cast<WORD>(packed & 0xFFFF),
                               &local) ||
        !LocalFileTimeToFileTime(&local, &utc)) {
      return false;
    }
    return SetFileTime(handle_.Get(), nullptr, nullptr, &utc) != 0;
  }

  bool Flush() override { return FlushFileBuffers(handle_.Get()) != 0; }

 private:
  ScopedHandle handle_;
  std::string path_;
};

std::unique_ptr<FileStream> OpenStream(const std::string& path, DWORD access, DWORD share,
                                       DWORD disposition, const char* operation) {
  HANDLE handle = CreateFileA(path.c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    throw Error(DescribeError(operation, path, code));
  }
  return std::make_unique<Win32FileStream>(ScopedHandle(handle), path);
}

DWORD Attributes(const std::string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  return GetFileAttributesA(path.c_str());
}

class Win32FileSystem : public FileSystem {
 public:
  // Deny none: the installer reads its own payload while the program file stays open for
  // the system, and other programs may open it too.
  std::unique_ptr<FileStream> OpenRead(const std::string& path) override {
    return OpenStream(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING,
                      "Cannot open for reading");
  }
  std::unique_ptr<FileStream> Create(const std::string& path) override {
    return OpenStream(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS,
                      "Cannot create");
  }
  std::unique_ptr<FileStream> OpenWrite(const std::string& path) override {
    return OpenStream(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING,
                      "Cannot open for writing");
  }

  bool FileExists(const std::string& path) override {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }
  bool DirectoryExists(const std::string& path) override {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  bool CreateDir(const std::string& path) override {
    return !path.empty() && CreateDirectoryA(path.c_str(), nullptr) != 0;
  }
  bool ForceDirectories(const std::string& path) override {
    const std::string folder = ExcludeTrailingBackslash(path);
    if (folder.empty()) return false;
    if (DirectoryExists(folder)) return true;
    // The parent is strictly shorter, so the recursion ends at a root, a drive or a bare name.
    const std::string parent = ExcludeTrailingBackslash(ExtractFilePath(folder));
    if (!parent.empty() && parent.size() < folder.size() && !ForceDirectories(parent)) {
      return false;
    }
    // Another process may have made it in between: what counts is that it exists.
    return CreateDir(folder) || DirectoryExists(folder);
  }
  bool DeleteFile(const std::string& path) override {
    return !path.empty() && DeleteFileA(path.c_str()) != 0;
  }
  bool RemoveDir(const std::string& path) override {
    return !path.empty() && RemoveDirectoryA(path.c_str()) != 0;
  }

  std::int32_t FileAge(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return -1;
    }
    FILETIME local;
    WORD date = 0;
    WORD time = 0;
    // Times the DOS format cannot hold (before 1980, after 2107) have no age either.
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToDosDateTime(&local, &date, &time)) {
      return -1;
    }
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(date) << 16) | time);
  }

  std::vector<DirEntry> ListDirectory(const std::string& path) override {
    std::vector<DirEntry> entries;
    const std::string pattern = path.empty() ? "*" : IncludeTrailingBackslash(path) + "*";
    WIN32_FIND_DATAA data;
    ScopedFind find(FindFirstFileA(pattern.c_str(), &data));
    if (!find.Valid()) return entries;
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      entries.push_back({name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(find.Get(), &data));
    std::sort(entries.begin(), entries.end(),
              [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return entries;
  }

  bool RenameFile(const std::string& from, const std::string& to) override {
    // Without MOVEFILE_REPLACE_EXISTING an existing `to` fails the call, and without
    // MOVEFILE_COPY_ALLOWED so does another drive: a rename is never a copy.
    return !from.empty() && !to.empty() && FileExists(from) &&
           MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  }

  std::int64_t FreeSpace(const std::string& folder) override {
    ULARGE_INTEGER available;
    if (folder.empty() ||
        !GetDiskFreeSpaceExA(IncludeTrailingBackslash(folder).c_str(), &available, nullptr,
                             nullptr)) {
      return -1;
    }
    return static_cast<std::int64_t>(available.QuadPart);
  }

  bool CanOpenExclusive(const std::string& path) override {
    if (!FileExists(path)) return false;
    // DELETE as well: moving the file aside needs it, and a program that shares writing but
    // not deletion would block the move.
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
  }
};

std::string& ModuleFileNameOverride() {
  static std::string path;
  return path;
}

// Grows the buffer until a Win32 "fill this buffer" call reports the whole text.
template <typename Call>
std::string ReadSystemText(Call call) {
  std::string text(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = call(&text[0], static_cast<DWORD>(text.size()));
    if (length == 0) return std::string();
    if (length < text.size()) {
      text.resize(length);
      return text;
    }
    if (text.size() >= 32768) return std::string();
    text.resize(text.size() * 2);
  }
}

}  // namespace

FileSystem& RealFileSystem() {
  static Win32FileSystem fileSystem;
  return fileSystem;
}

// Drive letters are real on Win32: there is no drive root to map.
void SetDriveRoot(const std::string&) {}
std::string DriveRoot() { return std::string(); }

std::vector<std::string> DriveList() {
  std::vector<std::string> drives;
  char buffer[4 * 26 + 2] = {};
  const DWORD length = GetLogicalDriveStringsA(sizeof buffer, buffer);
  if (length == 0 || length > sizeof buffer) return drives;
  for (const char* drive = buffer; *drive != '\0'; drive += std::strlen(drive) + 1) {
    std::string name = drive;
    if (!name.empty()) {
      name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    }
    drives.push_back(name);
  }
  return drives;
}

std::string ModuleFileName() {
  if (!ModuleFileNameOverride().empty()) return ModuleFileNameOverride();
  // GetModuleFileNameA returns the buffer size when it had to cut the path.
  return ReadSystemText(
      [](char* buffer, DWORD size) { return GetModuleFileNameA(nullptr, buffer, size); });
}

void SetModuleFileNameOverride(const std::string& path) { ModuleFileNameOverride() = path; }

std::string SystemDirectory() {
  // GetSystemDirectoryA returns the size needed (with the zero) when the buffer is too small.
  return ReadSystemText([](char* buffer, DWORD size) {
    const UINT length = GetSystemDirectoryA(buffer, size);
    return static_cast<DWORD>(length >= size ? size : length);
  });
}

namespace {

// Eight lower-case hex digits. Not snprintf: MinGW's printf family brings its floating-point
// formatting into the installer, about 28 KB for this one call.
std::string Hex8(std::uint32_t value) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) text[i] = kDigits[value & 0xF];
  return text;
}

}  // namespace

std::string CreateTempFolder(const std::string& prefix) {
  std::string temp = ReadSystemText([](char* buffer, DWORD size) {
    const DWORD length = GetTempPathA(size, buffer);
    return length >= size ? size : length;
  });
  if (temp.empty()) {
    const DWORD code = GetLastError();
    throw Error(DescribeError("Cannot find the temporary folder", "%TEMP%", code));
  }
  // The long form, so that paths built on it compare equal to what listings return.
  std::string longTemp = ReadSystemText([&temp](char* buffer, DWORD size) {
    const DWORD length = GetLongPathNameA(temp.c_str(), buffer, size);
    return length >= size ? size : length;
  });
  if (!longTemp.empty()) temp = longTemp;
  temp = IncludeTrailingBackslash(temp);

  static unsigned counter = 0;
  const unsigned seed = GetCurrentProcessId() * 2654435761u ^ GetTickCount();
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string folder = temp + prefix + "-" + Hex8(seed + ++counter);
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    const DWORD code = GetLastError();
    if (code != ERROR_ALREADY_EXISTS) {
      throw Error(DescribeError("Cannot create the temporary folder", folder, code));
    }
  }
  throw Error("Cannot create a temporary folder under \"" + temp + "\": every name is taken");
}

}  // namespace plat
