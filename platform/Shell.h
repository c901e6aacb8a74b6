// The Windows shell as the shortcut service needs it: special folders, COM initialisation of
// the calling thread, and shell link objects that are given a target, a description and a
// show command and saved to a .lnk file.
//
// Results are COM result codes (HRESULT values, negative = failure) so that callers can pass
// them on unchanged. Paths are ANSI strings with Windows semantics; the MAX_PATH limit of the
// shell buffers is kMaxPath, and a path that would not fit is refused, never cut.
//
// Win32: SHGetSpecialFolderLocation/SHGetPathFromIDListA, CoInitialize, IShellLinkA and
// IPersistFile; links are real .lnk files. POSIX: a stand-in that maps the special folders
// onto folders of the file layer's drive root (c:\users\<user>\Desktop, ...) and saves a link
// as a small record file at the link's path, which ReadLink reads back.
//
// Components take a Shell& so that tests can hand in a double; SystemShell() is the
// platform's own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace plat {

// A COM result code (HRESULT).
using ComResult = std::int32_t;

namespace com {
constexpr ComResult kOk = 0;
constexpr ComResult kFalse = 1;  // success: "already done" (e.g. COM already initialised)
constexpr ComResult kNoInterface = static_cast<ComResult>(0x80004002u);
constexpr ComResult kFail = static_cast<ComResult>(0x80004005u);
constexpr ComResult kOutOfMemory = static_cast<ComResult>(0x8007000Eu);
// HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE): a path longer than the shell buffers.
constexpr ComResult kPathTooLong = static_cast<ComResult>(0x800700CEu);
// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
constexpr ComResult kFileNotFound = static_cast<ComResult>(0x80070002u);

constexpr bool Succeeded(ComResult r) { return r >= 0; }
constexpr bool Failed(ComResult r) { return r < 0; }
}  // namespace com

// Special-folder ids (CSIDL values).
namespace csidl {
constexpr int kDesktop = 0x00;           // the virtual desktop; resolves to the desktop folder
constexpr int kPrograms = 0x02;          // the user's Programs menu
constexpr int kPersonal = 0x05;          // the user's documents
constexpr int kStartup = 0x07;           // the user's Startup menu
constexpr int kStartMenu = 0x0B;         // the user's Start menu
constexpr int kDesktopDirectory = 0x10;  // the user's desktop directory
constexpr int kAppData = 0x1A;
constexpr int kWindows = 0x24;
constexpr int kSystem = 0x25;
constexpr int kProgramFiles = 0x26;
}  // namespace csidl

// Show commands of a link (SW_ values).
namespace sw {
constexpr int kShowNormal = 1;  // what a new link starts with
constexpr int kShow = 5;
}  // namespace sw

// Characters of a shell path buffer including the terminating zero (MAX_PATH): a path must be
// shorter than this to be usable.
constexpr std::size_t kMaxPath = 260;

// The file side of a link object (IPersistFile).
class ShellLinkFile {
 public:
  virtual ~ShellLinkFile() = default;
  // Saves the link under path (converted to wide characters in a kMaxPath buffer), replacing
  // an existing file; remember makes it the object's current file.
  virtual ComResult Save(const std::string& path, bool remember) = 0;
};

// A shell link object (IShellLinkA). Released on destruction.
class ShellLink {
 public:
  virtual ~ShellLink() = default;
  virtual ComResult SetPath(const std::string& target) = 0;
  virtual ComResult SetDescription(const std::string& description) = 0;
  virtual ComResult SetShowCmd(int showCmd) = 0;
  // Obtains the link's file interface; on failure file is left empty.
  virtual ComResult QueryPersistFile(std::unique_ptr<ShellLinkFile>& file) = 0;
};

// What a saved link holds, as read back from its file.
struct LinkInfo {
  std::string target;
  std::string description;
  int showCmd = sw::kShowNormal;
};

class Shell {
 public:
  virtual ~Shell() = default;

  // The file-system path of a special folder (the item-id list and the shell allocator are
  // released on every path). False when the shell cannot resolve it; a resolved path is always
  // shorter than kMaxPath.
  virtual bool SpecialFolderPath(int csidl, std::string& path) = 0;

  // CoInitialize(NULL) / CoUninitialize for the calling thread. Every successful initialise
  // (kOk or kFalse) must be matched by one uninitialise.
  virtual ComResult ComInitialize() = 0;
  virtual void ComUninitialize() = 0;

  // A new shell link object (CoCreateInstance of the shell link class, in-process); on
  // failure link is left empty.
  virtual ComResult CreateShellLink(std::unique_ptr<ShellLink>& link) = 0;

  // Reads a saved link back; initialises COM itself for the duration. False when the file is
  // missing or is not a link.
  virtual bool ReadLink(const std::string& path, LinkInfo& info) = 0;
};

Shell& SystemShell();

}  // namespace plat
