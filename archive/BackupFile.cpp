// TBackupFile, the reader side: title and catalogue, restore to disk, volume changes, errors.
//
// The records are read by the format layer (BackupFormat.h), which checks every length against
// what is left of the source before anything is allocated or read. This is the lenient reader
// over it: its faults are the streams' own errors and "Invalid archive type" (EngineFaults), a
// negative name length is passed over, a block whose zlib stream fails is error 6 once its
// output is written, and the run reports by code rather than by message.
#include "archive/BackupFile.h"

#include "archive/NameSafety.h"
#include "archive/ReadAheadStream.h"
#include "platform/Error.h"
#include "platform/MessageBox.h"
#include "platform/MessagePump.h"

namespace archive {

namespace {

constexpr const char* kCannotReadArchive = kErrorMessages[kErrReadArchive];
constexpr const char* kInvalidArchive = kErrorMessages[kErrInvalidArchive];

// One entry per line; CR LF, CR or LF end a line, and a final line needs no end.
TStringList SplitLines(const std::string& text) {
  TStringList lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}

}  // namespace

TBackupFile::TBackupFile(void* owner, plat::FileSystem& fs) : owner_(owner), fs_(fs) {}

TBackupFile::~TBackupFile() = default;

void TBackupFile::SetBlockCodec(const BlockCodec& codec) {
  codec_ = &codec;
  inflater_.reset();
}

const std::vector<std::string>& TBackupFile::PublishedProperties() {
  static const std::vector<std::string> names = {
      "Version",        "BackupTitle",    "BackupMode", "CompressionLevel", "RestoreMode",
      "MaxSize",        "SetArchiveFlag", "OnProgress", "OnNeedDisk",       "OnRestoreFile",
      "OnFileRestored", "OnError",        "RestoreFullPath", "SaveFileID"};
  return names;
}

void TBackupFile::SetBackupMode(TBackupMode mode) {
  backupMode_ = mode;
  if (mode == bmIncremental) SetArchiveFlag = true;
}

TPercentage TBackupFile::Percentage(std::int64_t done, std::int64_t total) {
  // An archive of empty files has nothing to do: it is all done.
  if (total <= 0) return 100;
  if (done <= 0) return 0;
  if (done >= total) return 100;
  const std::int64_t scaled = done * 100;  // done < total < 2^63 / 100 for any 32-bit total
  std::int64_t q = scaled / total;
  const std::int64_t r = scaled % total;
  if (r > total - r || (r == total - r && (q & 1) != 0)) ++q;
  return static_cast<TPercentage>(q > 100 ? 100 : q);
}

void TBackupFile::ReportError(std::int32_t Code) {
  const std::string message = ErrorMessage(Code);
  if (OnError) {
    OnError(this, Code, message);
  } else {
    plat::ShowMessageBox(message, kErrorTitle, plat::mb::kOk | plat::mb::kIconError);
  }
}

void TBackupFile::ReadFileListFromStream(plat::Stream* Stream, TStringList* List,
                                         std::string& Title) {
  if (Stream == nullptr) return;
  SourceStream = Stream;
  try {
    ReadFileList(kStreamArchiveName, List, Title);
  } catch (...) {
    Title.clear();
  }
}

void TBackupFile::ReadFileList(const std::string& ArchiveName, TStringList* List,
                               std::string& Title) {
  Title.clear();
  totalSize_ = 0;
  fileCount_ = 0;
  restoredCount_ = 0;

  std::unique_ptr<plat::FileStream> owned;
  plat::Stream* src = nullptr;
  if (ArchiveName == kStreamArchiveName) {
    src = SourceStream;
  } else {
    if (!fs_.FileExists(ArchiveName)) return;
    try {
      owned = fs_.OpenRead(ArchiveName);
      src = owned.get();
    } catch (...) {
      src = nullptr;
    }
  }
  if (src == nullptr) {
    errorCode_ = kErrReadArchive;
    ReportError(kErrReadArchive);
    throw plat::SilentAbort();
  }

  try {
    FormatReader format(EngineFaults(), *src);
    format.ReadHeader(Title, totalSize_, fileCount_);
    // first member: only the catalogue is wanted, and only there. Without a list its name is
    // not read at all, only the NameLength in front of it.
    if (List == nullptr) {
      format.ReadInt("member name length");
    } else if (format.ReadMemberHead().name == kCatalogueName) {
      format.ReadDateTime();  // ignored
      continueFlag_ = true;
      plat::MemoryStream text;
      ReadMember(format, &text, true);
      const std::vector<std::uint8_t>& bytes = text.Bytes();
      *List = SplitLines(std::string(bytes.begin(), bytes.end()));
    }
  } catch (const std::exception&) {
    errorCode_ = kErrInvalidArchive;
    ReportError(kErrInvalidArchive);
  }
}

bool TBackupFile::RestoreFromStream(plat::Stream* Stream, const std::string& DestFolder) {
  if (Stream == nullptr) return false;
  SourceStream = Stream;
  try {
    return Restore(kStreamArchiveName, DestFolder);
  } catch (...) {
    return false;
  }
}

void TBackupFile::CloseSource() {
  format_.reset();
  reader_.reset();  // puts a caller's stream back where reading stopped
  ownedSource_.reset();
  source_ = nullptr;
}

bool TBackupFile::Restore(const std::string& ArchiveName, const std::string& DestFolder) {
  std::string dest = DestFolder;
  if (!dest.empty() && dest.back() != '\\') dest += '\\';
  errorCode_ = kErrNone;
  restoredCount_ = 0;
  continueFlag_ = true;

  // Whatever way the run ends, an archive file it opened is closed.
  struct SourceCloser {
    TBackupFile* self;
    ~SourceCloser() { self->CloseSource(); }
  } closer{this};

  const bool streaming = ArchiveName == kStreamArchiveName;
  if (!streaming && !fs_.FileExists(ArchiveName)) return false;
  try {
    if (streaming) {
      if (SourceStream == nullptr) throw plat::Error(kCannotReadArchive);
      source_ = SourceStream;
    } else {
      ownedSource_ = fs_.OpenRead(ArchiveName);
      source_ = ownedSource_.get();
    }
    reader_ = std::make_unique<ReadAheadStream>(*source_);
    source_ = reader_.get();
    archiveName_ = ArchiveName;
    format_ = std::make_unique<FormatReader>(EngineFaults(), *source_);
    std::string title;  // not needed
    format_->ReadHeader(title, totalSize_, fileCount_);
  } catch (const std::exception&) {
    CloseSource();
    throw plat::Error(kCannotReadArchive);
  }
  bytesDone_ = 0;
  volumeNumber_ = 1;

  bool decision = true;
  std::int32_t memberDateTime = 0;
  MemberHead head;
  // A member written whole but not yet placed: the next record may be a volume marker that
  // continues it. It is placed when the next member or the end of the archive is reached, and
  // discarded however else the run ends.
  struct Pending {
    MemberOutput& output;
    std::string target;
    ~Pending() {
      if (!target.empty()) output.Discard(target);
    }
  } pending{Output(), std::string()};
  const auto placePending = [this, &pending] {
    if (pending.target.empty()) return true;
    const std::string target = pending.target;
    pending.target.clear();
    try {
      pending.output.Place(target);
      return true;
    } catch (...) {
      pending.output.Discard(target);
      errorCode_ = kErrReadFile;
      continueFlag_ = false;
      return false;
    }
  };
  do {
    head = format_->ReadMemberHead();
    if (head.kind == MemberHead::Kind::kVolumeMarker) {
      ChangeVolume(head.name, decision, memberDateTime);
      continue;
    }
    if (!placePending()) break;
    // 0 ends the archive; a negative length is passed over to the next 4 bytes
    if (head.kind == MemberHead::Kind::kEnd || head.kind == MemberHead::Kind::kNegativeLength) {
      continue;
    }
    memberDateTime = static_cast<std::int32_t>(format_->ReadDateTime());
    currentFile_ = RestoreTarget(head.name, dest, RestoreFullPath);
    decision = DecideByMode(memberDateTime);
    if (head.name == kCatalogueName) {
      decision = false;  // the catalogue is never written out
    } else if (OnRestoreFile) {
      OnRestoreFile(this, currentFile_, memberDateTime, decision);
    }
    if (decision && !dest.empty() && !IsInsideFolder(currentFile_, dest)) {
      // The target as it stands after the host's handler, so that a member the host renames,
      // refuses or the mode passes over is no error; whether the stored name or the host led
      // it out of the destination, or to a name Windows would not keep, it is never written.
      // Without a destination the host decides every target (the installer's routing).
      errorCode_ = kErrReadFile;
      continueFlag_ = false;
      break;
    }
    if (decision) {
      const std::string folder = plat::ExtractFilePath(currentFile_);
      if (!folder.empty() && !fs_.ForceDirectories(folder)) {
        // A member that was to be written and cannot be is a failed run, as when its file
        // cannot be created: passing it over would answer true with the file missing.
        errorCode_ = kErrReadFile;
        continueFlag_ = false;
        break;
      }
    }
    RestoreMember(memberDateTime, decision);
    if (decision) {
      if (continueFlag_) {
        pending.target = currentFile_;
      } else {
        pending.output.Discard(currentFile_);
      }
    }
  } while (head.kind != MemberHead::Kind::kEnd && continueFlag_);
  CloseSource();

  const bool result = errorCode_ == kErrNone && continueFlag_;
  if (OnProgress) OnProgress(this, std::string(), 100, continueFlag_);
  if (errorCode_ != kErrNone) ReportError(errorCode_);
  return result;
}

bool TBackupFile::DecideByMode(std::int32_t memberDateTime) {
  // rmAll (the installer's mode) needs nothing from the existing file: no query per member.
  if (RestoreMode == rmAll) return true;
  const bool exists = fs_.FileExists(currentFile_);
  const std::int32_t age = exists ? fs_.FileAge(currentFile_) : -1;
  switch (RestoreMode) {
    case rmAll: return true;
    case rmNoOverwrite: return !exists;
    case rmNewer: return !exists || memberDateTime > age;
    case rmExisting: return exists;
    case rmExistingNewer: return exists && memberDateTime > age;
  }
  return false;
}

void TBackupFile::RestoreMember(std::int32_t memberDateTime, bool& decision) {
  if (!decision) {
    ReadMember(*format_, nullptr, false);
    return;
  }
  std::unique_ptr<plat::FileStream> out;
  try {
    out = Output().Open(currentFile_);
    ReadMember(*format_, out.get(), true);
    ++restoredCount_;
  } catch (...) {
    errorCode_ = kErrReadFile;
    continueFlag_ = false;
  }
  if (out) {
    if (OnFileRestored) OnFileRestored(this, currentFile_, *out);
    out->SetDosDateTime(memberDateTime);
  }
}

void TBackupFile::ChangeVolume(const std::string& markerName, bool decision,
                               std::int32_t memberDateTime) {
  if (!ownedSource_) {
    // Read through ":STREAM" there is no file name to find the next volume by; the caller's
    // stream is left as it is.
    errorCode_ = kErrReadArchive;
    continueFlag_ = false;
    return;
  }
  CloseSource();
  // Any other marker than "NEXT:DISK" and three digits would open a volume under other digits
  // than the disk asked for ("NEXT:DISK2" asks for disk 2 but opens ".2"), and the prompt would
  // go round for ever.
  const int disk = VolumeMarkerDisk(markerName);
  // Volumes are numbered upwards; a marker naming this volume or an earlier one would send the
  // run round in a circle for ever.
  if (disk < 0 || disk <= volumeNumber_) throw plat::Error(kInvalidArchive);
  const auto diskId = static_cast<std::uint16_t>(disk);
  volumeNumber_ = diskId;
  const std::string diskText = std::to_string(disk);  // the digits without leading zeros

  // Named before the prompt, so that a disk handler can look for the very file that is opened.
  archiveName_ = NextVolumeName(archiveName_, disk);
  do {
    if (OnNeedDisk) {
      OnNeedDisk(this, diskId, continueFlag_);
    } else {
      std::string prompt = kDiskPrompt;
      prompt.replace(prompt.find("%s"), 2, diskText);
      continueFlag_ = plat::ShowMessageBox(prompt, kDiskPromptTitle,
                                           plat::mb::kOkCancel | plat::mb::kIconInformation) ==
                      plat::mb::kIdOk;
    }
  } while (!fs_.FileExists(archiveName_) && continueFlag_);
  if (!continueFlag_) return;

  ownedSource_ = fs_.OpenRead(archiveName_);
  reader_ = std::make_unique<ReadAheadStream>(*ownedSource_);
  source_ = reader_.get();
  format_ = std::make_unique<FormatReader>(EngineFaults(), *source_);
  if (decision) {
    std::unique_ptr<plat::FileStream> out = Output().Reopen(currentFile_);
    ReadMember(*format_, out.get(), true);
    if (OnFileRestored) OnFileRestored(this, currentFile_, *out);
    out->SetDosDateTime(memberDateTime);
  } else {
    ReadMember(*format_, nullptr, false);
  }
}

void TBackupFile::ReadMemberData(plat::Stream& Source, plat::Stream* Output, bool Extract) {
  FormatReader format(EngineFaults(), Source);
  ReadMember(format, Output, Extract);
}

void TBackupFile::ReadMember(FormatReader& format, plat::Stream* Output, bool Extract) {
  format.ReadSignature();
  // Progress counts what reaches a file on disk, not the catalogue's memory buffer.
  const bool toFile = Extract && dynamic_cast<plat::FileStream*>(Output) != nullptr;
  std::vector<std::uint8_t> in;
  std::vector<std::uint8_t> out;
  if (Extract) {
    in.resize(kBlockSize);
    out.resize(kBlockSize);
  }

  bool ended = false;
  while (continueFlag_ && !ended) {
    const BlockHead block = format.ReadBlockHead();
    ended = block.End();
    std::int32_t produced = 0;
    if (ended) {
      // the end-of-member marker: no data, one more progress event
    } else if (!Extract) {
      format.SkipBlockData(block);
    } else if (!block.Stored()) {
      format.ReadBlockData(block, in.data());
      // A stream that fails, or does not end inside the block (truncated data, or more
      // output than a piece may hold), is error 6 once what it gave has been written.
      if (!inflater_) inflater_ = NewInflater(codec_);
      const InflateResult r = inflater_->Inflate(
          in.data(), static_cast<std::size_t>(block.DataSize()), out.data(), out.size());
      produced = static_cast<std::int32_t>(r.produced);
      if (!r.StreamEnded()) {
        errorCode_ = kErrCompression;
        continueFlag_ = false;
      }
      if (Output != nullptr) Output->WriteBuffer(out.data(), produced);
    } else {
      format.ReadBlockData(block, in.data());
      produced = static_cast<std::int32_t>(block.DataSize());
      if (Output != nullptr) Output->WriteBuffer(in.data(), produced);
    }
    plat::ProcessMessages();
    if (toFile) {
      bytesDone_ += produced;
      if (OnProgress) OnProgress(this, currentFile_, Percentage(bytesDone_, totalSize_), continueFlag_);
    }
  }
}

}  // namespace archive
