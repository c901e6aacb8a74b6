// Scratch folders for tests. std::filesystem is used only for the POSIX drive root itself,
// which is a host folder rather than a path of the file layer.
#include "ScratchDrive.h"

#include <atomic>
#include <chrono>
#include <filesystem>

#include "platform/Error.h"

namespace testsupport {

namespace {
std::string UniqueHostFolder() {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  std::error_code ec;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path p =
        std::filesystem::temp_directory_path(ec) /
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
