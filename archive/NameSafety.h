// Where a restore writes a member, and which member names may be written on Windows. A payload
// may come from anywhere; a name that Windows would resolve to another place (a separator, "..",
// a drive), to a device (CON, COM1, ...), or that it silently alters (a trailing dot or space is
// dropped) is never written. Windows semantics hold on every target, so the POSIX build refuses
// the same names. The restore engine, `lumipack extract` and the benchmarks' bare loop all form
// and check their targets here.
#pragma once

#include <string>

namespace archive {

// The path below the destination folder that a restore writes member name to: the text after
// the stored name's last "\" or ":" (a "/" left in it is a separator to Windows, which the
// checks below see), or with fullPath the stored name without its first three characters, the
// drive prefix "c:\" (empty for a shorter name).
std::string PathBelowDestination(const std::string& memberName, bool fullPath);

// The file a restore writes member name to: destination (ending in "\") followed by
// PathBelowDestination; with no destination, the stored name itself, which the host then routes.
// Whether it may be written is IsInsideFolder(target, destination), asked of the target as it
// stands once the host has seen it.
std::string RestoreTarget(const std::string& memberName, const std::string& destination,
                          bool fullPath);

// One file or folder name: not empty, not "." or "..", no trailing dot or space, no control
// character, none of \ / : * ? " < > |, and not a reserved device name (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, CONIN$, CONOUT$, in any case, with or without an extension).
bool IsSafeFileName(const std::string& name);

// Why a path below a folder may not be written there.
enum class PathFault {
  kNone,
  kLeadsOut,    // empty, rooted, a drive or stream (":"), or a ".." component
  kUnsafeName,  // otherwise a component that is not a safe file name (also an empty one)
};
// Components are separated by "\" or "/".
PathFault CheckRelativePath(const std::string& relative);

// A path below a folder that stays inside it: CheckRelativePath finds no fault.
bool IsSafeRelativePath(const std::string& relative);

// A path to a file or folder inside folder (not empty): it begins with folder, ASCII letter case
// aside as Windows compares names, and the rest is a safe relative path.
bool IsInsideFolder(const std::string& path, const std::string& folder);

}  // namespace archive
