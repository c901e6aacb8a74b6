// Scratch folders for tests. std::filesystem is used only for the POSIX drive root itself,
// which is a host folder rather than a path of the file layer.
#include "ScratchDrive.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <chrono>
#include <filesystem>

#include "platform/Error.h"

namespace testsupport {

namespace {
// The folder scratch drives go in: the host's memory file system where there is one. The
// installer flushes each journal record and each rename to disk, and on a disk the fault
// sweeps, which install hundreds of times, would spend nearly all their time waiting for it.
std::filesystem::path HostScratchFolder() {
  std::error_code ec;
  const char* memory = "/dev/shm";
  if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory(memory, ec) &&
      ::access(memory, W_OK) == 0) {
    return memory;
  }
  return std::filesystem::temp_directory_path(ec);
}

std::string UniqueHostFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::error_code ec;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path p =
        HostScratchFolder() /
        ("lumi-drive-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(p, ec)) return p.string();
  }
  throw plat::Error("Cannot create a scratch drive root");
}
}  // namespace

ScratchDrive::ScratchDrive() {
  previousRoot_ = plat::DriveRoot();
  driveRoot_ = UniqueHostFolder();
  plat::SetDriveRoot(driveRoot_);
  plat::RealFileSystem().ForceDirectories("c:\\");
  base_ = plat::CreateTempFolder("t");
}

ScratchDrive::~ScratchDrive() {
  RemoveTree(base_);
  plat::SetDriveRoot(previousRoot_);
  std::error_code ec;
  std::filesystem::remove_all(driveRoot_, ec);
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  auto f = plat::RealFileSystem().Create(path);
  f->WriteBuffer(bytes.data(), static_cast<std::int32_t>(bytes.size()));
}

void WriteWholeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  WriteWholeFile(path, std::string(bytes.begin(), bytes.end()));
}

std::string ReadWholeFile(const std::string& path) {
  auto f = plat::RealFileSystem().OpenRead(path);
  std::string bytes(static_cast<std::size_t>(f->Size()), '\0');
  f->ReadBuffer(&bytes[0], static_cast<std::int32_t>(bytes.size()));
  return bytes;
}

bool RemoveTree(const std::string& path) {
  plat::FileSystem& fs = plat::RealFileSystem();
  if (fs.FileExists(path)) return fs.DeleteFile(path);
  if (!fs.DirectoryExists(path)) return true;
  for (const plat::DirEntry& e : fs.ListDirectory(path)) {
    const std::string child = plat::IncludeTrailingBackslash(path) + e.name;
    if (e.isDirectory) {
      RemoveTree(child);
    } else {
      fs.DeleteFile(child);
    }
  }
  return fs.RemoveDir(path);
}

}  // namespace testsupport
