// The benchmark corpus: a fixed list of files shaped like an installed desktop product
// (programs and shared libraries, help and text files, already compressed images, bitmaps),
// each generated from its kind, size and seed. The list lives in a text file, one file a line:
//
//   path <TAB> kind <TAB> size <TAB> seed          ('#' starts a comment line)
//
// Kinds: program, help, document, html, jpeg, photo (24-bit bitmap), bitmap (16 colours).
// Every generator uses integer arithmetic and its own random numbers only, so a given line
// gives the same bytes on every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct CorpusFile {
  std::string path;  // relative, '/' separated
  std::string kind;
  std::uint64_t size = 0;
  std::uint64_t seed = 0;
};

// Parses the list. Throws std::runtime_error naming the line on anything malformed: an unknown
// kind, a missing field, a path that is absolute or steps out with "..", a size over 1 GB.
std::vector<CorpusFile> ParseCorpusList(const std::string& text);

// The size a file gets when the corpus is scaled by scale (0 < scale <= 1): never below one
// byte, so every file and every kind stays present in a small corpus.
std::uint64_t ScaledSize(std::uint64_t size, double scale);

// The content of one file at the given size.
std::vector<std::uint8_t> MakeContent(const CorpusFile& file, std::uint64_t size);

}  // namespace bench
