// What the fuzz targets share: a private drive root for the file layer, emptied after every
// input, and the check that a run wrote nothing outside the folder it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

// A drive root of its own under the system's temporary folder, made on first use and set as
// the file layer's drive root, so that "c:\..." paths of a run land there.
const std::string& ScratchRoot();

// The host path of a file-layer path below the scratch root ("c:\in" -> "<root>/c/in").
std::string HostPath(const std::string& windowsPath);

// Every file and folder below the scratch root, as host paths.
std::vector<std::string> ListTree();

// Aborts (a finding for the fuzzer) when anything below the scratch root lies outside the
// allowed host folders; then empties the root.
void CheckContainedAndClear(const std::vector<std::string>& allowedHostFolders);

// Splits data at every occurrence of kVolumeSeparator: the volumes of a multi-volume input.
constexpr char kVolumeSeparator[] = "\xF0VOLUME\x0F";
constexpr std::size_t kVolumeSeparatorLength = sizeof kVolumeSeparator - 1;
std::vector<std::string> SplitVolumes(const std::uint8_t* data, std::size_t size);

}  // namespace fuzzing
