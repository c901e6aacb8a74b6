// What a lumipack command fails with. A Failure names the file concerned and, where there is
// one, the archive member; the command line turns it into one line on stderr and a non-zero
// exit status. A UsageError is a command line that cannot be run as given.
#pragma once

#include <stdexcept>
#include <string>

#include "archive/ArchiveWalker.h"

namespace lumipack {

// The archive walk's own error, so that what the shared walk finds is reported the same way.
using Failure = archive::WalkError;

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace lumipack
