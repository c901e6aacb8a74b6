#include "support/SeededBytes.h"

namespace testsupport {

std::string Noise(std::size_t size, std::uint32_t seed, int shift) {
  std::string s(size, '\0');
  std::uint32_t x = seed;
  for (char& c : s) {
    x = NextRandom(x);
    c = static_cast<char>(x >> shift);
  }
  return s;
}

std::string Words(std::size_t size, std::uint32_t seed, const std::vector<std::string>& vocabulary) {
  std::string s;
  std::uint32_t x = seed;
  while (s.size() < size) {
    x = NextRandom(x);
    s += vocabulary[(x >> 16) % vocabulary.size()];
  }
  s.resize(size);
  return s;
}

const std::vector<std::string>& InvoiceWords() {
  static const std::vector<std::string> words = {"fattura ", "cliente ", "importo ", "scadenza ",
                                                 "\r\n"};
  return words;
}

std::string Letters(std::size_t size, std::uint32_t seed, const std::string& phrase, int shift) {
  std::string s(size, '\0');
  std::uint32_t x = seed;
  for (std::size_t i = 0; i < size; ++i) {
    x = NextRandom(x);
    s[i] = phrase[(i + (x >> shift)) % phrase.size()];
  }
  return s;
}

std::string Content(std::size_t size, std::uint32_t seed, bool compressible) {
  static const std::string kPhrase = "lorem ipsum dolor sit amet consectetur adipiscing elit sed do ";
  return compressible ? Letters(size, Spread(seed), kPhrase, 28) : Noise(size, Spread(seed));
}

std::string Prose(std::size_t size) {
  static const std::string kLine = "Lorem ipsum: la scheda del cliente riporta i dati principali.\r\n";
  std::string s;
  while (s.size() < size) s += kLine + std::to_string(s.size()) + "\r\n";
  s.resize(size);
  return s;
}

}  // namespace testsupport
