// Opening a document or web address with the program the user's shell associates with it
// (ShellExecuteA with the verb "open"), as a click on a link in the wizard does.
//
// Win32: ShellExecuteA with no parameters and no folder, the window shown normally. Elsewhere
// there is no shell to ask; the stand-in opens nothing and answers false. On both, a
// sink installed with SetShellOpenSink takes the requests instead (tests record them there,
// so that no browser is started under Wine either).
#pragma once

#include <functional>
#include <string>

#include "platform/WindowRef.h"

namespace plat {

// Asks the shell to open target; parent owns any box the shell shows. True when the shell
// reported that it did; callers that do not care may ignore the answer. Never throws for a
// refused request.
bool ShellOpen(WindowRef parent, const std::string& target);

// Replaces the shell's "open" for the whole process (an empty sink restores the platform's
// own). Returns the previous sink.
using ShellOpenSink = std::function<bool(WindowRef parent, const std::string& target)>;
ShellOpenSink SetShellOpenSink(ShellOpenSink sink);

// The platform's own "open", whatever sink is installed (standin/ and win32/Launch.cpp).
bool NativeShellOpen(WindowRef parent, const std::string& target);

}  // namespace plat
