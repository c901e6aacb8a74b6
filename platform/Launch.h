// Opening a document or web address with the program the user's shell associates with it
// (ShellExecuteA with the verb "open"), as a click on a link in the wizard does.
//
// Win32: ShellExecuteA(parent, "open", target, no parameters, no folder, SW_SHOWNORMAL).
// POSIX: there is no shell to ask; the stand-in opens nothing and answers false. On both, a
// sink installed with SetShellOpenSink takes the requests instead (tests record them there,
// so that no browser is started under Wine either).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace plat {

// A window handle as the shell takes it for the parent of any box it shows (0: none).
using LaunchWindow = std::uintptr_t;

// Asks the shell to open target. True when the shell reported that it did; callers that do
// not care may ignore the answer. Never throws for a refused request.
bool ShellOpen(LaunchWindow parent, const std::string& target);

// Replaces the shell's "open" for the whole process (an empty sink restores the platform's
// own). Returns the previous sink.
using ShellOpenSink = std::function<bool(LaunchWindow parent, const std::string& target)>;
ShellOpenSink SetShellOpenSink(ShellOpenSink sink);

// The platform's own "open", whatever sink is installed (posix/ and win32/Launch.cpp).
bool NativeShellOpen(LaunchWindow parent, const std::string& target);

}  // namespace plat
