// The Windows shell as the shortcut service needs it: special folders, initialising the shell
// (COM) on the calling thread, and shell link objects that are given a target, a description
// and a show command and saved to a .lnk file.
//
// Results are our own small codes (ShellResult), so that callers can pass on how a call ended
// without knowing the system's codes. Paths are ANSI strings with Windows semantics; a path
// that does not fit the shell's path buffers (PathFits) is refused, never cut.
//
// Win32: the shell's special folders, COM, IShellLinkA and IPersistFile; links are real .lnk
// files. Elsewhere a stand-in maps the special folders onto folders of the file layer's drive
// root (c:\users\<user>\Desktop, c:\ProgramData, ...) and saves a link as a small record file at the link's
// path, which ReadLink reads back.
//
// Components take a Shell& so that tests can hand in a double; SystemShell() is the
// platform's own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace plat {

// How a shell call ended. The two success codes come first.
enum class ShellResult : std::uint8_t {
  kOk,
  kAlreadyInitialised,  // success: the shell was already initialised on this thread
  kFailed,              // a failure that none of the codes below names
  kNotInitialised,      // the shell is not initialised on the calling thread
  kNoInterface,         // the object does not offer what was asked for
  kOutOfMemory,
  kAccessDenied,
  kPathTooLong,         // a path that does not fit the shell's buffers
};

constexpr bool Succeeded(ShellResult r) {
  return r == ShellResult::kOk || r == ShellResult::kAlreadyInitialised;
}
constexpr bool Failed(ShellResult r) { return !Succeeded(r); }

// The special folders the shortcut service places links in, all of the current user, and the
// machine's folder for application data.
enum class SpecialFolder : std::uint8_t {
  kStartMenu,
  kPrograms,          // the Programs menu, inside the Start menu
  kDesktopDirectory,  // the folder whose files the desktop shows
  kCommonAppData,     // application data of every user of the machine
};

// How a link shows the window of the program it starts.
enum class ShowCommand : std::uint8_t {
  kNormal,  // what a new link starts with
  kShow,    // in its current size and position
  kOther,   // read back only: a link made elsewhere with a command this layer does not set
};

// The file side of a link object (IPersistFile).
class ShellLinkFile {
 public:
  virtual ~ShellLinkFile() = default;
  // Saves the link under path, replacing an existing file; remember makes it the object's
  // current file.
  virtual ShellResult Save(const std::string& path, bool remember) = 0;
};

// A shell link object (IShellLinkA). Released on destruction.
class ShellLink {
 public:
  virtual ~ShellLink() = default;
  virtual ShellResult SetPath(const std::string& target) = 0;
  virtual ShellResult SetDescription(const std::string& description) = 0;
  // kOther is refused (kFailed).
  virtual ShellResult SetShowCmd(ShowCommand showCmd) = 0;
  // Obtains the link's file interface; on failure file is left empty.
  virtual ShellResult QueryPersistFile(std::unique_ptr<ShellLinkFile>& file) = 0;
};

// What a saved link holds, as read back from its file.
struct LinkInfo {
  std::string target;
  std::string description;
  ShowCommand showCmd = ShowCommand::kNormal;
};

class Shell {
 public:
  virtual ~Shell() = default;

  // The file-system path of a special folder. False when the shell cannot resolve it; a
  // resolved path always fits the shell's buffers.
  virtual bool SpecialFolderPath(SpecialFolder folder, std::string& path) = 0;

  // Whether a path fits the shell's path buffers, terminator included. Every call here refuses
  // one that does not (kPathTooLong), so a caller that forms a path checks it first.
  virtual bool PathFits(const std::string& path) const = 0;

  // Initialises and uninitialises the shell (COM) for the calling thread. Every successful
  // initialise (kOk or kAlreadyInitialised) must be matched by one uninitialise.
  virtual ShellResult ComInitialize() = 0;
  virtual void ComUninitialize() = 0;

  // A new shell link object (in-process); on failure link is left empty. Needs the shell
  // initialised on the calling thread (kNotInitialised otherwise).
  virtual ShellResult CreateShellLink(std::unique_ptr<ShellLink>& link) = 0;

  // Reads a saved link back; initialises the shell itself for the duration. False when the
  // file is missing or is not a link.
  virtual bool ReadLink(const std::string& path, LinkInfo& info) = 0;
};

Shell& SystemShell();

}  // namespace plat
