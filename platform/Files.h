// The file layer: file streams, folders, DOS date-times, the program's own path and the system
// folder. Paths above this layer have Windows semantics ("\" separators, drive letters).
//
// Win32: the real file API. POSIX: the system's file calls, with Windows paths mapped the way
// Wine maps them: "X:\a\b" is "<drive root>/x/a/b", "\" and "/" both separate, and names are
// found whatever their letter case; rooted POSIX paths ("/tmp/out") stay as they are and
// relative paths are relative to the current folder.
//
// Components take a FileSystem& so that tests can hand in a double (fault injection);
// RealFileSystem() is the platform's own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Stream.h"

namespace plat {

// An open file. Closing happens on destruction.
class FileStream : public Stream {
 public:
  // Sets the file's last-write time from a DOS date-time (local time). Returns false on failure.
  virtual bool SetDosDateTime(std::int32_t dosDateTime) = 0;
  // Writes what the system still holds of the file through to the disk, so that it outlasts a
  // crash or a power cut from the moment this returns true.
  virtual bool Flush() = 0;
};

struct DirEntry {
  std::string name;  // the entry's own name, no folder
  bool isDirectory = false;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Read-only, sharing reading and writing with other openers (deny none). Throws Error naming
  // the path when the file cannot be opened.
  virtual std::unique_ptr<FileStream> OpenRead(const std::string& path) = 0;
  // Creates the file, truncating an existing one; read and write access. Throws Error on failure.
  virtual std::unique_ptr<FileStream> Create(const std::string& path) = 0;
  // Opens an existing file for reading and writing, positioned at 0. Throws Error on failure.
  virtual std::unique_ptr<FileStream> OpenWrite(const std::string& path) = 0;

  virtual bool FileExists(const std::string& path) = 0;       // a file, not a folder
  virtual bool DirectoryExists(const std::string& path) = 0;  // a folder, not a file
  // Anything at all: also what is neither a file nor a folder (on POSIX a FIFO, a socket, a
  // device), which FileExists does not count.
  virtual bool Exists(const std::string& path) { return FileExists(path) || DirectoryExists(path); }
  virtual bool CreateDir(const std::string& path) = 0;        // one level; false if it fails
  // Creates the folder and every missing parent; true when the folder exists afterwards.
  virtual bool ForceDirectories(const std::string& path) = 0;
  virtual bool DeleteFile(const std::string& path) = 0;
  virtual bool RemoveDir(const std::string& path) = 0;  // only an empty folder
  // DOS date-time (local time) of the file's last write, or -1 when there is no such file.
  virtual std::int32_t FileAge(const std::string& path) = 0;
  // The entries of a folder, without "." and "..", sorted by name byte-wise. Empty when the
  // folder cannot be read.
  virtual std::vector<DirEntry> ListDirectory(const std::string& path) = 0;
  // Gives the file `from` the name `to` on the same drive, written through to the disk before it
  // returns. Never replaces anything: false when `to` names another existing file or a folder,
  // as when the rename fails for any other reason; `from` is then unchanged. `from`'s own name
  // in other letters is a rename, as on Windows.
  virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
  // Bytes the caller may still write on the drive that holds the existing folder `folder`; -1
  // when the system cannot tell.
  virtual std::int64_t FreeSpace(const std::string& folder) = 0;
  // Whether the existing file could be opened for writing and renamed with no sharing at all:
  // no program holds it open and it is not read-only. False when there is no such file.
  virtual bool CanOpenExclusive(const std::string& path) = 0;
};

FileSystem& RealFileSystem();

// POSIX only: the folder that holds one subfolder per drive letter ("c", "d", ...).
// Ignored on Win32, where drive letters are real.
void SetDriveRoot(const std::string& posixFolder);
std::string DriveRoot();
// The drive letters there are ("c:\", ...), in order.
std::vector<std::string> DriveList();

// Full path of the running program. Tests may override it (empty restores the real one).
std::string ModuleFileName();
void SetModuleFileNameOverride(const std::string& path);

// The Windows system folder (GetSystemDirectoryA); on POSIX "c:\windows\system32" under the
// drive root.
std::string SystemDirectory();

// Path helpers with Windows semantics (work the same on every target).
std::string ExtractFilePath(const std::string& path);  // up to and including the last "\" or ":"
std::string ExtractFileName(const std::string& path);  // after the last "\" or ":"
std::string ExcludeTrailingBackslash(const std::string& path);
std::string IncludeTrailingBackslash(const std::string& path);
// The folder that holds path, without a trailing "\"; empty for a drive ("c:", "c:\"), a
// bare name or "", where there is nothing above to walk up to.
std::string ParentFolder(const std::string& path);
// The path with its extension (from the last "." after the last "\", "/" or ":") replaced by
// ext, which includes its dot; appended when there is none.
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// True for a path that names its place without the current drive or folder: a drive letter,
// a colon and a backslash ("c:\", "c:\programmi"), or "\\server\share" with both names
// ("\\server\share\dir"). False for an empty path, a relative one ("programmi", "c:programmi"),
// one from the current drive's root ("\programmi"), "/" separators, and the device and raw
// namespaces ("\\.\", "\\?\").
bool IsFullPath(const std::string& path);

// A fresh, empty folder for tests and scratch work, as a path of this layer. POSIX:
// a new folder "c:\tmp\<prefix>-<unique>" under the current drive root. Win32: a new folder
// under the user's temporary folder. Throws Error when it cannot be made.
std::string CreateTempFolder(const std::string& prefix);

}  // namespace plat
