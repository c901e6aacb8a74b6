// What an installation run may change, read whole so that two states compare as text: every
// folder and file below the given folders (a file with its date and bytes, a shell link with
// the target and description the shell reads from it) and the registry.
// The scratch drive's base folder is written "<base>" wherever it occurs, in paths and in file
// contents (links hold their targets), so that states taken on two scratch drives compare.
#pragma once

#include <string>
#include <vector>

#include "platform/MemoryRegistry.h"

namespace testsupport {

// registry may be null: the files alone.
std::string MachineState(const std::vector<std::string>& folders, const std::string& base,
                         const plat::MemoryRegistry* registry);

}  // namespace testsupport
