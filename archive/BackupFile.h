// TBackupFile: the archive component. Its reader side reads an archive's title and catalogue
// and restores its members, asking the host about each file through events and reporting
// progress, volume changes and errors. The packaging side's properties are kept (they are
// loaded from the form) but only ArchiveWriter writes archives.
//
// Results come back through events, by-reference parameters and error codes; the stream
// variants (ReadFileListFromStream, RestoreFromStream) absorb every exception.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/BackupFormat.h"
#include "archive/BlockCodec.h"
#include "archive/MemberOutput.h"
#include "platform/Files.h"
#include "platform/Stream.h"

namespace archive {

// Each enumeration is held in one byte, values in declaration order from 0.
enum TBackupMode : std::uint8_t { bmAll, bmIncremental };
enum TRestoreMode : std::uint8_t { rmAll, rmNoOverwrite, rmNewer, rmExisting, rmExistingNewer };
enum TCompressionLevel : std::uint8_t { clFastest, clcNone, clcDefault, clMax };

using TPercentage = std::uint8_t;  // 0 to 100

class TBackupFile;

using TProgressEvent = std::function<void(TBackupFile* Sender, std::string Filename,
                                          TPercentage Percent, bool& Continue)>;
using TNeedDiskEvent =
    std::function<void(TBackupFile* Sender, std::uint16_t DiskID, bool& Continue)>;
using TRestoreFileEvent = std::function<void(TBackupFile* Sender, std::string& Filename,
                                             std::int32_t FA, bool& DoRestore)>;
using TFileRestoredEvent =
    std::function<void(TBackupFile* Sender, std::string& Filename, plat::FileStream& Stream)>;
using TBackupErrorEvent =
    std::function<void(TBackupFile* Sender, std::int32_t Error, std::string ErrString)>;

// The catalogue list: one entry per line.
using TStringList = std::vector<std::string>;

class TBackupFile {
 public:
  // Owner: the component that owns this one (the form); not used by the component itself.
  explicit TBackupFile(void* Owner = nullptr, plat::FileSystem& fs = plat::RealFileSystem());
  TBackupFile(const TBackupFile&) = delete;
  TBackupFile& operator=(const TBackupFile&) = delete;
  ~TBackupFile();

  // Component identity, spelled as the GUI layer's component base spells it, so that the
  // component can later derive from that base and drop these.
  void* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  // Published properties, in the order they are streamed from the form.
  static const std::vector<std::string>& PublishedProperties();

  std::string GetVersion() const { return kComponentVersion; }  // always "5.10"
  void SetVersion(const std::string&) {}                        // assigning has no effect
  std::string BackupTitle;
  TBackupMode GetBackupMode() const { return backupMode_; }
  void SetBackupMode(TBackupMode mode);  // bmIncremental also sets SetArchiveFlag
  TCompressionLevel CompressionLevel = clFastest;
  TRestoreMode RestoreMode = rmAll;
  std::int32_t MaxSize = 0;
  bool SetArchiveFlag = false;
  TProgressEvent OnProgress;
  TNeedDiskEvent OnNeedDisk;
  TRestoreFileEvent OnRestoreFile;
  TFileRestoredEvent OnFileRestored;
  TBackupErrorEvent OnError;
  bool RestoreFullPath = false;
  bool SaveFileID = false;

  // The stream used when the archive name is ":STREAM" (not owned).
  plat::Stream* SourceStream = nullptr;

  // Reads title and catalogue from Stream (positioned at the archive; may be null). List may be
  // null: then only the title is read.
  void ReadFileListFromStream(plat::Stream* Stream, TStringList* List, std::string& Title);
  void ReadFileList(const std::string& ArchiveName, TStringList* List, std::string& Title);

  // Restores every member. True when every member was handled without error and the run was
  // not cancelled.
  bool RestoreFromStream(plat::Stream* Stream, const std::string& DestFolder);
  bool Restore(const std::string& ArchiveName, const std::string& DestFolder);

  // Reads one member's data from just after its DateTime: signature, blocks, end marker.
  // Extract: inflate into Output (may be null); otherwise pass the blocks over. Blocks are read
  // while ContinueFlag is set, as restores and catalogue reads set it; progress is raised only
  // when Output is a file.
  void ReadMemberData(plat::Stream& Source, plat::Stream* Output, bool Extract);

  // The codec that inflates the blocks: zlib, the installer's own, unless a tool sets another.
  // Every codec writes the same bytes and raises the same events. Must outlive the component.
  void SetBlockCodec(const BlockCodec& codec);

  // Where restored members are written: the engine's ReplacingOutput over its file layer unless
  // a host sets another (which must outlive the runs that use it); null puts the engine's back.
  void SetMemberOutput(MemberOutput* output) { output_ = output; }

  // Reports code through OnError or an error message box.
  void ReportError(std::int32_t Code);

  // Run state of the last run.
  std::int32_t TotalSize() const { return totalSize_; }
  std::int32_t FileCount() const { return fileCount_; }
  std::int32_t RestoredCount() const { return restoredCount_; }
  std::int32_t BytesDone() const { return static_cast<std::int32_t>(bytesDone_); }
  const std::string& CurrentFile() const { return currentFile_; }
  // The volume file being read; inside OnNeedDisk, the one that is opened once it exists.
  const std::string& VolumeName() const { return archiveName_; }
  bool ContinueFlag() const { return continueFlag_; }
  std::int32_t ErrorCode() const { return errorCode_; }

  // Percentage of done in total, rounded half to even, computed in 64 bits; 100 when total is
  // not positive, at most 100.
  static TPercentage Percentage(std::int64_t done, std::int64_t total);

 private:
  void CloseSource();
  bool DecideByMode(std::int32_t memberDateTime);
  void RestoreMember(std::int32_t memberDateTime, bool& decision);
  MemberOutput& Output() { return output_ ? *output_ : ownOutput_; }
  void ChangeVolume(const std::string& markerName, bool decision, std::int32_t memberDateTime);
  // ReadMemberData on the records of the source being read.
  void ReadMember(FormatReader& format, plat::Stream* Output, bool Extract);

  void* owner_ = nullptr;
  std::string name_;
  int tag_ = 0;
  plat::FileSystem& fs_;
  ReplacingOutput ownOutput_{fs_};
  MemberOutput* output_ = nullptr;
  TBackupMode backupMode_ = bmAll;

  std::unique_ptr<plat::FileStream> ownedSource_;  // the archive file this run opened
  // The source read through a buffer: a run makes several small reads per block.
  std::unique_ptr<plat::Stream> reader_;
  plat::Stream* source_ = nullptr;                 // what is being read: reader_
  std::unique_ptr<FormatReader> format_;           // the records of source_
  std::uint16_t volumeNumber_ = 1;                  // number of the volume being read
  std::string archiveName_;                        // current volume's name

  std::int32_t totalSize_ = 0;
  std::int32_t fileCount_ = 0;
  std::int32_t restoredCount_ = 0;
  std::int64_t bytesDone_ = 0;  // 64 bits: a damaged archive may hold more than it says
  std::string currentFile_;
  bool continueFlag_ = false;
  std::int32_t errorCode_ = 0;
  const BlockCodec* codec_ = nullptr;  // null: zlib
  // One decoder state for every block, set up at the first one: blocks are independent streams
  // and the state is reset for each.
  std::unique_ptr<BlockInflater> inflater_;
};

}  // namespace archive
