// Generators of file contents that look and compress like the real thing: x86 program code
// and data, WinHelp-style help text, document templates, 16-colour bitmaps and an icon.
// Each takes its size and a seed and is deterministic across platforms (integer arithmetic
// only, no library random numbers).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace synthetic {

// A small deterministic generator (splitmix64).
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }

 private:
  std::uint64_t state_;
};

// A Windows program image: headers, code, data, resources. The pieces of pieceSize bytes
// listed in randomPieces are filled with random bytes (an embedded packed resource), so that
// they do not compress at all; those in densePieces are random but for their last 256 bytes, so
// they compress barely. Every other piece compresses well.
std::vector<std::uint8_t> MakeProgram(std::size_t size, std::uint64_t seed,
                                      const std::vector<std::size_t>& randomPieces,
                                      const std::vector<std::size_t>& densePieces,
                                      std::size_t pieceSize);
// A 32x32, 16-colour icon: exactly 766 bytes.
std::vector<std::uint8_t> MakeIcon(std::uint64_t seed);
std::vector<std::uint8_t> MakeHelp(std::size_t size, std::uint64_t seed);
std::vector<std::uint8_t> MakeDocument(std::size_t size, std::uint64_t seed,
                                       const std::string& title);
std::vector<std::uint8_t> MakeBitmap(std::size_t size, std::uint64_t seed);

}  // namespace synthetic
