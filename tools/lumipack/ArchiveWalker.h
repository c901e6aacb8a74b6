// A strict, read-only walk over an archive: an installer (its payload found through the
// trailer) or a standalone archive with its volumes. Unlike the installer's lenient reader it
// stops at the first thing that breaks the format and says where: which file, which member,
// what is wrong. Every length read from the file is checked against what the file still holds
// before anything is allocated or read, and no block is ever read beyond kBlockSize bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "tools/lumipack/Failure.h"

namespace lumipack {

struct ArchiveHeader {
  std::string title;
  std::int32_t totalSize = 0;
  std::int32_t fileCount = 0;
};

struct MemberRecord {
  std::size_t index = 0;       // 0 for the first member
  std::string name;
  std::uint32_t dateTime = 0;
  std::int64_t size = 0;       // uncompressed bytes; known only for members read with data
  std::int64_t blocks = 0;
  std::int64_t storedBlocks = 0;
  int parts = 1;               // volumes the member spans
  bool inflated = false;       // its data was read (size is known)
};

class ArchiveWalker {
 public:
  // Opens path and tells an installer ("MZ" first) from a standalone archive. Throws Failure
  // when the file cannot be opened or its trailer points outside it.
  ArchiveWalker(plat::FileSystem& fs, const std::string& path);
  ~ArchiveWalker();

  bool IsInstaller() const { return installer_; }
  std::uint32_t PayloadOffset() const { return payloadOffset_; }

  const ArchiveHeader& ReadHeader();

  // Called when a member starts; answers whether its data is wanted (inflated and handed to
  // onData, with every zlib stream checked) or only stepped over by its block lengths.
  using WantData = std::function<bool(const MemberRecord&)>;
  using OnData = std::function<void(const MemberRecord&, const std::uint8_t*, std::size_t)>;

  // Walks the members after the header up to the end-of-archive marker, following volume
  // markers. With stopAfter > 0, stops once that many members have been read completely
  // (not counting continuations). Returns the members read.
  std::vector<MemberRecord> Walk(const WantData& want, const OnData& onData,
                                 std::size_t stopAfter = 0);

  // After a full walk: nothing may follow the end-of-archive marker but the payload trailer.
  void CheckTail();

  // The volume files read so far, the first included.
  const std::vector<std::string>& Volumes() const { return volumes_; }

 private:
  struct Volume;

  void Fail(const std::string& what) const;
  std::int64_t Remaining() const;
  void ReadExact(void* buffer, std::int64_t n, const char* field);
  std::int32_t ReadInt(const char* field);
  void Skip(std::int64_t n, const char* field);
  void OpenVolume(const std::string& path);
  void ReadMemberData(MemberRecord& m, bool inflate, const OnData& onData);
  void NextVolume(const std::string& marker);

  plat::FileSystem& fs_;
  std::string firstPath_;
  bool installer_ = false;
  std::uint32_t payloadOffset_ = 0;
  std::unique_ptr<Volume> volume_;
  std::vector<std::string> volumes_;
  ArchiveHeader header_;
  std::string member_;           // name of the member being read, for messages
  bool lastBlockWasShort_ = false;
  std::int64_t blockIndex_ = 0;  // 1-based index within the member, for messages
};

}  // namespace lumipack
