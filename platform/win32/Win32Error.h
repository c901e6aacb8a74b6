// Win32 failures turned into our errors at the boundary. Callers capture GetLastError() right
// after the failing call (anything in between may overwrite it) and pass the code in, with the
// operation and the path, so that the message says what failed on which file or key.
#pragma once

#include <string>

namespace plat::win32 {

// The system's text for an error code, without the trailing line break; "error N" when the
// system has none.
std::string SystemMessage(unsigned long code);

// "<operation> \"<path>\": <system text> (error N)".
std::string DescribeError(const std::string& operation, const std::string& path,
                          unsigned long code);

}  // namespace plat::win32
