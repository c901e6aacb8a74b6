// Just enough of a Windows program for tests of signed installers: PE headers with data
// directory 4 (the security directory) that the readers look at, and the layout a signing tool
// leaves behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace testsupport {

// A program image of size bytes (at least 1024): DOS header, PE signature, COFF header, a PE32
// or PE32+ optional header with 16 empty data directories and 512 bytes of headers, and one
// section holding everything after them.
std::string PeImage(std::size_t size, bool pe32plus = false);

// Points the security directory of a file that starts with a PeImage at offset and size.
void SetSecurityDirectory(std::string& file, std::uint32_t offset, std::uint32_t size);

// Signs file as signing tools lay it out: zero bytes up to a multiple of 8, then table, named by
// the security directory. The table's bytes are the caller's (no signature is made).
void AppendCertificateTable(std::string& file, const std::string& table);

}  // namespace testsupport
