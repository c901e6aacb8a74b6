// The console a command-line tool runs in.
#pragma once

namespace plat {

// True when the standard error stream is a terminal (not a file or a pipe), so that a tool
// may draw a progress bar there.
bool StderrIsTerminal();

}  // namespace plat
