// A strict, read-only walk over an archive: an installer (its payload found through the
// trailer), a standalone archive with its volumes, or an installer's own file already open.
// It reads the records through the format layer (BackupFormat.h), as TBackupFile does, but
// where that reader is lenient the walk stops at the first thing that breaks the format and
// says where: which file, which member, what is wrong. It also holds the data to the rules a
// sound writer keeps (every zlib stream whole, no empty or short block before the last, nothing
// after a volume marker or the end). The packager's list, extract and verify and the
// installer's check before it writes share this one walk.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "archive/BackupFormat.h"
#include "archive/BlockCodec.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace archive {

// What a walk fails with: the file concerned, the archive member where there is one, and the
// fault. A damaged archive and a file that cannot be read both end a walk this way.
class WalkError : public std::runtime_error {
 public:
  WalkError(std::string file, std::string member, const std::string& what)
      : std::runtime_error(what), file_(std::move(file)), member_(std::move(member)) {}
  const std::string& File() const { return file_; }
  const std::string& Member() const { return member_; }

 private:
  std::string file_;
  std::string member_;
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

// Inflates one block that must hold exactly one complete zlib stream into out (capacity
// bytes) with zlib. The walk itself inflates through its codec (SetCodec), zlib by default.
InflateResult InflateWholeBlock(const std::uint8_t* in, std::size_t n, std::uint8_t* out,
                                std::size_t capacity);

class ArchiveWalker : private FaultPolicy {
 public:
  // Opens path and tells an installer ("MZ" first) from a standalone archive. Throws WalkError
  // when the file cannot be opened, its trailer points outside it, the certificate table of a
  // signed installer does not end the file or lies inside the image or the archive, or it is
  // neither an installer nor an archive: then the error names no file and its text is
  // "not an installer or archive: " and the path.
  ArchiveWalker(plat::FileSystem& fs, const std::string& path);
  // Walks an installer's payload on a stream the caller keeps open (the installer's own file):
  // reads the trailer and moves to the payload. label names the file in messages. The stream
  // must outlive the walker; a volume marker is refused (an installer holds one volume).
  // Throws WalkError when the file is too short for a trailer, the trailer points outside it,
  // or a certificate table is misplaced (as above).
  ArchiveWalker(plat::Stream& installer, const std::string& label);
  ~ArchiveWalker();

  bool IsInstaller() const { return installer_; }
  std::uint32_t PayloadOffset() const { return payloadOffset_; }
  // The size of a signed installer's certificate table, which follows the payload trailer; 0
  // for an unsigned installer and a standalone archive. The signature in it is not checked here.
  std::int64_t CertificateTableSize() const { return certificateTableSize_; }

  const ArchiveHeader& ReadHeader();

  // Called when a member starts; answers whether its data is wanted (inflated and handed to
  // onData, with every zlib stream checked) or only stepped over by its block lengths.
  using WantData = std::function<bool(const MemberRecord&)>;
  using OnData = std::function<void(const MemberRecord&, const std::uint8_t*, std::size_t)>;
  // After each block: the bytes of the current volume's archive walked so far and their total.
  using OnProgress = std::function<void(std::int64_t done, std::int64_t total)>;
  void SetProgress(OnProgress progress) { progress_ = std::move(progress); }
  // The codec that inflates the blocks; zlib unless set. Must outlive the walker.
  void SetCodec(const BlockCodec& codec) { codec_ = &codec; inflater_.reset(); }

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

  // The walk's faults: a WalkError naming the file, the member and the offset.
  void Fault(const FormatFault& fault) override;
  void StreamFailed(StreamCall call, const char* field, std::int64_t offset,
                    const plat::Error& error) override;
  [[noreturn]] void Fail(const std::string& what) const;
  FaultPolicy& Faults();
  FormatReader& Format();
  void OpenVolume(const std::string& path);
  void FindPayload();
  void RefuseNonArchive();
  void ReadMemberData(MemberRecord& m, bool inflate, const OnData& onData);
  void NextVolume(const std::string& marker);
  void Report();

  plat::FileSystem* fs_ = nullptr;  // null when walking a caller's stream
  std::string firstPath_;
  bool installer_ = false;
  std::uint32_t payloadOffset_ = 0;
  std::int64_t certificateTableSize_ = 0;
  std::unique_ptr<Volume> volume_;
  std::vector<std::string> volumes_;
  ArchiveHeader header_;
  std::string member_;           // name of the member being read, for messages
  bool lastBlockWasShort_ = false;
  std::int64_t blockIndex_ = 0;  // 1-based index within the member, for messages
  OnProgress progress_;
  const BlockCodec* codec_ = nullptr;  // null: zlib
  std::unique_ptr<BlockInflater> inflater_;  // made at the first compressed block
};

}  // namespace archive
