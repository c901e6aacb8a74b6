// Deterministic bytes for the tests, the damage sweeps and the fuzz targets' seed corpora: text
// that deflates well and noise that it cannot shrink, each named by a seed. Every generator steps
// the one linear congruential generator below, so a seed gives the same bytes on every target
// and in every run, and a test that names a seed keeps its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// The next state: x * 1103515245 + 12345 modulo 2^32 (the C library's constants).
inline std::uint32_t NextRandom(std::uint32_t x) { return x * 1103515245u + 12345u; }

// Spreads a small seed over the states, so that neighbouring seeds differ from the first byte.
inline std::uint32_t Spread(std::uint32_t seed, std::uint32_t offset = 12345u) {
  return seed * 2654435761u + offset;
}

// size bytes, each bits shift and up of the next state, starting from seed.
std::string Noise(std::size_t size, std::uint32_t seed, int shift = 24);

// Whole words of vocabulary, each picked by bits 16 and up of the next state, cut to size.
std::string Words(std::size_t size, std::uint32_t seed, const std::vector<std::string>& vocabulary);
// The invoice words the damage sweeps' archives are made of.
const std::vector<std::string>& InvoiceWords();

// Letters of phrase, the i-th read from place i moved on by bits shift and up of the next state.
std::string Letters(std::size_t size, std::uint32_t seed, const std::string& phrase, int shift);

// The archive tests' content: letters of a fixed phrase when compressible, noise otherwise, both
// from the spread seed.
std::string Content(std::size_t size, std::uint32_t seed, bool compressible = true);

// A line and the count of bytes so far, repeated: compresses well, and no two lines are equal.
std::string Prose(std::size_t size);

}  // namespace testsupport
