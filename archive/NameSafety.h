// Which member names may be written on Windows. A payload may come from anywhere; a name that
// Windows would resolve to another place (a separator, "..", a drive), to a device (CON, COM1,
// ...), or that it silently alters (a trailing dot or space is dropped) is never written.
// Windows semantics hold on every target, so the POSIX build refuses the same names.
#pragma once

#include <string>

namespace archive {

// One file or folder name: not empty, not "." or "..", no trailing dot or space, no control
// character, none of \ / : * ? " < > |, and not a reserved device name (CON, PRN, AUX, NUL,
// COM1-9, LPT1-9, CONIN$, CONOUT$, in any case, with or without an extension).
bool IsSafeFileName(const std::string& name);

// A path below a folder, components separated by "\" or "/": not rooted, no drive, and every
// component a safe file name (so also no empty component). Such a path stays inside the
// folder it is appended to.
bool IsSafeRelativePath(const std::string& relative);

// A path to a file or folder inside folder (not empty): it begins with folder, ASCII letter case
// aside as Windows compares names, and the rest is a safe relative path.
bool IsInsideFolder(const std::string& path, const std::string& folder);

}  // namespace archive
