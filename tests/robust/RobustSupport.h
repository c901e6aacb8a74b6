// Shared by the fault-injection and corruption tests: the archives they damage, a file layer
// that counts the streams left open, and one restore run with everything it reported.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/ArchiveWriter.h"
#include "archive/BackupFile.h"
#include "platform/Files.h"
#include "support/ProxyFileSystem.h"

namespace robust {

// A member's name and content, as written.
struct Expected {
  std::string name;
  std::string content;
};

// The small archive: catalogue, a two-block text, a stored block of noise, an empty file and a
// template one folder deeper.
const std::vector<Expected>& SmallMembers();
const std::vector<std::uint8_t>& SmallArchive();

// The synthetic payload shaped like the shipped one, as a standalone archive, and its files.
const std::vector<std::uint8_t>& SyntheticArchive();
const std::vector<Expected>& SyntheticMembers();

// Passes every call on and counts the streams that are open now.
class StreamCounter : public testsupport::ProxyFileSystem {
 public:
  using ProxyFileSystem::ProxyFileSystem;
  int Open() const { return open_; }

  std::unique_ptr<plat::FileStream> OpenRead(const std::string& path) override;
  std::unique_ptr<plat::FileStream> Create(const std::string& path) override;
  std::unique_ptr<plat::FileStream> OpenWrite(const std::string& path) override;

 private:
  std::unique_ptr<plat::FileStream> Count(std::unique_ptr<plat::FileStream> s);
  int open_ = 0;
};

// What one restore did.
struct RunOutcome {
  bool result = false;
  bool threw = false;  // a plat::Error left Restore
  std::vector<std::int32_t> reports;  // OnError codes, in order
  std::string Describe() const;
};

// Restores the archive file archivePath (read through fs) into dest. When only is not empty,
// members whose target file name is not `only` are refused, so that they are passed over
// without being written.
RunOutcome RestoreFile(plat::FileSystem& fs, const std::string& archivePath,
                       const std::string& dest, const std::string& only = std::string());
// The same from bytes in memory (not copied), read through ":STREAM" as the installer reads its
// payload.
RunOutcome RestoreBytes(plat::FileSystem& fs, const std::uint8_t* bytes, std::size_t size,
                        const std::string& dest, const std::string& only = std::string());

// A read-only stream over bytes owned by someone else.
class ViewStream : public plat::Stream {
 public:
  ViewStream(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
  std::int32_t Read(void* buffer, std::int32_t count) override;
  std::int32_t Write(const void*, std::int32_t) override { return 0; }
  std::int64_t Seek(std::int64_t offset, Origin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(size_); }

 private:
  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// The flat target of a stored name: its last component.
std::string FlatName(const std::string& storedName);

}  // namespace robust
