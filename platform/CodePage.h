// Letter case in the Windows-1252 code page, the code page of the installer's texts and of the
// file names Windows compares without regard to case. One table serves the wizard (it
// recognises the product's program in any spelling) and the POSIX file layer (it finds file
// names spelled in another case, as Windows does).
#pragma once

#include <string>

namespace plat {

// The capital of a Windows-1252 byte: ASCII letters and the accented letters that have a
// capital in the code page. Every other byte, the sharp s among them, stays as it is.
unsigned char AnsiUpperChar(unsigned char c);

// The text with every byte upper-cased by AnsiUpperChar.
std::string AnsiUpperCase(const std::string& text);

}  // namespace plat
