// A file layer held in memory, with Windows path rules (either separator, letters compared
// without regard to case, drive roots that always exist). The damage sweeps restore thousands
// of times; in memory each run costs only the reader's own work, and the whole tree can be
// listed to prove that nothing landed outside the destination.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace testsupport {

class MemoryFileSystem : public plat::FileSystem {
 public:
  std::unique_ptr<plat::FileStream> OpenRead(const std::string& path) override;
  std::unique_ptr<plat::FileStream> Create(const std::string& path) override;
  std::unique_ptr<plat::FileStream> OpenWrite(const std::string& path) override;
  bool FileExists(const std::string& path) override;
  bool DirectoryExists(const std::string& path) override;
  bool CreateDir(const std::string& path) override;
  bool ForceDirectories(const std::string& path) override;
  bool DeleteFile(const std::string& path) override;
  bool RemoveDir(const std::string& path) override;
  std::int32_t FileAge(const std::string& path) override;
  std::vector<plat::DirEntry> ListDirectory(const std::string& path) override;
  bool RenameFile(const std::string& from, const std::string& to) override;
  // What SetFreeSpace said for an existing folder; -1 (the system cannot tell) until then, and
  // for what is no folder.
  std::int64_t FreeSpace(const std::string& folder) override {
    return DirectoryExists(folder) ? freeSpace_ : -1;
  }
  bool CanOpenExclusive(const std::string& path) override;

  void SetFreeSpace(std::int64_t bytes) { freeSpace_ = bytes; }
  // The file counts as held open by another program from now on.
  void Hold(const std::string& path);

  struct File {
    std::string path;  // as created
    std::vector<std::uint8_t> bytes;
    std::int32_t dosDateTime = 0;
  };
  // Every file, by the folded path it is found by.
  const std::map<std::string, std::shared_ptr<File>>& Entries() const { return files_; }
  void Clear();

 private:
  std::unique_ptr<plat::FileStream> Open(const std::string& path, bool writable);
  static std::string Key(const std::string& path);
  static std::string Parent(const std::string& key);
  bool IsDrive(const std::string& key) const;

  std::map<std::string, std::shared_ptr<File>> files_;
  std::map<std::string, std::string> dirs_;  // key -> path as created
  std::set<std::string> held_;
  std::int64_t freeSpace_ = -1;
};

}  // namespace testsupport
