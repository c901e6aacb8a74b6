// Corpus list parsing and the generators the product-shaped synthetic payload does not have:
// web pages, photographs saved as JPEG (already compressed: they barely shrink) and as
// 24-bit bitmaps (smooth shades with sensor noise: they shrink by a third or so).
#include "bench/tools/Corpus.h"

#include <sstream>
#include <stdexcept>

#include "tools/synthetic/ContentGenerators.h"

namespace bench {

namespace {

constexpr std::uint64_t kMaxFileSize = 1000000000;
constexpr std::size_t kProgramPiece = 16384;

const char* const kKinds[] = {"program", "help", "document", "html", "jpeg", "photo", "bitmap"};

bool KnownKind(const std::string& kind) {
  for (const char* k : kKinds)
    if (kind == k) return true;
  return false;
}

bool SafeRelativePath(const std::string& path) {
  if (path.empty() || path[0] == '/' || path.find('\\') != std::string::npos) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find('/', start);
    const std::string part = path.substr(start, end == std::string::npos ? end : end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

bool ParseUnsigned(const std::string& text, std::uint64_t& value) {
  if (text.empty() || text.size() > 19) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

class Out {
 public:
  explicit Out(std::size_t reserve) { b_.reserve(reserve + 256); }
  void U8(unsigned v) { b_.push_back(static_cast<std::uint8_t>(v)); }
  void U16(unsigned v) { U8(v); U8(v >> 8); }
  void U16BigEndian(unsigned v) { U8(v >> 8); U8(v); }
  void U32(std::uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
  void Text(const std::string& s) { b_.insert(b_.end(), s.begin(), s.end()); }
  std::size_t Size() const { return b_.size(); }
  std::vector<std::uint8_t> Take(std::size_t n) {
    b_.resize(n, 0);
    return std::move(b_);
  }

 private:
  std::vector<std::uint8_t> b_;
};

const char* const kWords[] = {
    "archive", "customer", "invoice", "document", "template", "print", "list", "search",
    "record", "field", "value", "press", "button", "window", "menu", "select", "open", "save",
    "close", "new", "data", "address", "phone", "code", "amount", "total", "date", "payment",
    "bank", "account", "options", "settings", "user", "guide", "topic", "see", "also", "when",
    "the", "a", "of", "to", "and", "in", "is", "for", "with", "on", "each", "item", "shows",
    "short", "description", "function", "can", "be", "used", "report", "page", "table"};
constexpr std::uint32_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

std::string Sentence(synthetic::Rng& r) {
  std::string s;
  for (std::uint32_t i = 0, n = 5 + r.Below(14); i < n; ++i) {
    std::string w = kWords[r.Below(kWordCount)];
    if (i == 0) w[0] = static_cast<char>(w[0] - 'a' + 'A');
    if (i > 0) s += ' ';
    s += w;
  }
  return s + ".";
}

std::vector<std::uint8_t> MakeHtml(std::uint64_t size, std::uint64_t seed) {
  synthetic::Rng r(seed);
  Out b(size);
  b.Text("<!DOCTYPE html>\n<html><head><meta charset=\"windows-1252\"><title>" + Sentence(r) +
         "</title><link rel=\"stylesheet\" href=\"help.css\"></head>\n<body>\n");
  while (b.Size() < size) {
    switch (r.Below(6)) {
      case 0: b.Text("<h2 id=\"t" + std::to_string(r.Below(5000)) + "\">" + Sentence(r) + "</h2>\n"); break;
      case 1: {
        b.Text("<table class=\"fields\">\n");
        for (std::uint32_t i = 0, n = 2 + r.Below(8); i < n; ++i)
          b.Text("  <tr><td>" + std::string(kWords[r.Below(kWordCount)]) + "</td><td>" +
                 Sentence(r) + "</td></tr>\n");
        b.Text("</table>\n");
        break;
      }
      case 2:
        b.Text("<p>See <a href=\"topic" + std::to_string(r.Below(900)) + ".htm\">" +
               kWords[r.Below(kWordCount)] + "</a>.</p>\n");
        break;
      default: {
        b.Text("<p>");
        for (std::uint32_t i = 0, n = 1 + r.Below(6); i < n; ++i) b.Text(Sentence(r) + " ");
        b.Text("</p>\n");
        break;
      }
    }
  }
  return b.Take(size);
}

// A baseline JPEG's markers around entropy-coded data: nearly uniform bytes, a few of them
// drawn from a small set as real scans have, every 0xFF followed by the stuffed 0x00.
std::vector<std::uint8_t> MakeJpeg(std::uint64_t size, std::uint64_t seed) {
  synthetic::Rng r(seed);
  Out b(size);
  b.Text("\xFF\xD8\xFF\xE0");
  b.U16BigEndian(16);
  b.Text(std::string("JFIF\0\x01\x01\x01\x00\x48\x00\x48\x00\x00", 14));
  for (unsigned table = 0; table < 2; ++table) {
    b.Text("\xFF\xDB");
    b.U16BigEndian(67);
    b.U8(table);
    for (unsigned i = 0; i < 64; ++i) b.U8(2 + (i * (3 + table)) / 4);
  }
  b.Text("\xFF\xC0");
  b.U16BigEndian(17);
  b.U8(8);
  b.U16BigEndian(1200 + r.Below(1000));
  b.U16BigEndian(1600 + r.Below(1000));
  b.Text(std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10));
  b.Text("\xFF\xDA");
  b.U16BigEndian(12);
  b.Text(std::string("\x03\x01\x00\x02\x11\x03\x11\x00\x3F\x00", 10));
  const std::uint8_t common[8] = {0x00, 0x28, 0xA2, 0x8A, 0x80, 0x0A, 0x02, 0xA0};
  while (b.Size() + 2 < size) {
    const std::uint64_t v = r.Next();
    for (int k = 0; k < 8 && b.Size() + 2 < size; ++k) {
      unsigned byte = static_cast<unsigned>(v >> (8 * k)) & 0xFF;
      if ((byte & 0x0F) == 0x0F && ((byte >> 4) & 3) == 0) byte = common[byte >> 6 & 7];
      b.U8(byte);
      if (byte == 0xFF) b.U8(0);
    }
  }
  std::vector<std::uint8_t> out = b.Take(size);
  if (size >= 2) {
    out[size - 2] = 0xFF;
    out[size - 1] = 0xD9;
  }
  return out;
}

// A 24-bit bitmap of a photograph: a few soft shades mixed per channel, plus noise.
std::vector<std::uint8_t> MakePhoto(std::uint64_t size, std::uint64_t seed) {
  constexpr std::uint32_t kWidth = 1024;
  constexpr std::uint32_t kRowBytes = kWidth * 3;
  constexpr std::uint32_t kPixelsAt = 14 + 40;
  const std::uint32_t height =
      size > kPixelsAt ? static_cast<std::uint32_t>((size - kPixelsAt) / kRowBytes) : 0;
  synthetic::Rng r(seed);
  Out b(size);
  b.Text("BM");
  b.U32(static_cast<std::uint32_t>(size));
  b.U32(0);
  b.U32(kPixelsAt);
  b.U32(40);
  b.U32(kWidth);
  b.U32(height);
  b.U16(1);
  b.U16(24);
  b.U32(0);
  b.U32(kRowBytes * height);
  b.U32(2835);
  b.U32(2835);
  b.U32(0);
  b.U32(0);
  std::uint32_t base[3], dx[3], dy[3];
  for (int c = 0; c < 3; ++c) {
    base[c] = 40 + r.Below(120);
    dx[c] = 1 + r.Below(7);
    dy[c] = 1 + r.Below(7);
  }
  const std::uint32_t noise = 4 + r.Below(6);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < kWidth; x += 8) {
      std::uint64_t v = r.Next();
      for (std::uint32_t k = 0; k < 8; ++k, v >>= 8) {
        const std::uint32_t xx = x + k;
        for (int c = 0; c < 3; ++c) {
          // Triangle waves: soft shading across the picture without floating point.
          const std::uint32_t px = (xx * dx[c] / 8) % 256, py = (y * dy[c] / 8) % 256;
          const std::uint32_t sx = px < 128 ? px : 255 - px, sy = py < 128 ? py : 255 - py;
          std::uint32_t value = base[c] / 2 + sx / 2 + sy / 2;
          value += (static_cast<std::uint32_t>(v) >> (2 * c)) % noise;
          b.U8(value > 255 ? 255 : value);
        }
      }
    }
  }
  return b.Take(size);
}

// A program with the odd packed resource in it: about one piece in forty does not compress
// and one in sixty barely does.
std::vector<std::uint8_t> MakeProgramContent(std::uint64_t size, std::uint64_t seed) {
  synthetic::Rng r(seed ^ 0x5EEDu);
  std::vector<std::size_t> random, dense;
  for (std::size_t piece = 1; piece < size / kProgramPiece; ++piece) {
    const std::uint32_t pick = r.Below(120);
    if (pick < 3) random.push_back(piece);
    else if (pick < 5) dense.push_back(piece);
  }
  return synthetic::MakeProgram(size, seed, random, dense, kProgramPiece);
}

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::vector<CorpusFile> ParseCorpusList(const std::string& text) {
  std::vector<CorpusFile> files;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
      const std::size_t tab = line.find('\t', start);
      fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
      if (tab == std::string::npos) break;
      start = tab + 1;
    }
    const auto fail = [number](const std::string& what) {
      throw std::runtime_error("corpus list line " + std::to_string(number) + ": " + what);
    };
    if (fields.size() != 4) fail("expected path, kind, size and seed separated by tabs");
    CorpusFile f;
    f.path = fields[0];
    f.kind = fields[1];
    if (!SafeRelativePath(f.path)) fail("\"" + f.path + "\" is not a relative path below the corpus");
    if (!KnownKind(f.kind)) fail("unknown kind \"" + f.kind + "\"");
    if (!ParseUnsigned(fields[2], f.size) || f.size == 0 || f.size > kMaxFileSize)
      fail("size \"" + fields[2] + "\" is not a number from 1 to " + std::to_string(kMaxFileSize));
    if (!ParseUnsigned(fields[3], f.seed)) fail("seed \"" + fields[3] + "\" is not a number");
    files.push_back(f);
  }
  return files;
}

std::uint64_t ScaledSize(std::uint64_t size, double scale) {
  const auto scaled = static_cast<std::uint64_t>(static_cast<double>(size) * scale);
  return scaled == 0 ? 1 : scaled;
}

std::vector<std::uint8_t> MakeContent(const CorpusFile& file, std::uint64_t size) {
  const auto n = static_cast<std::size_t>(size);
  if (file.kind == "program") return MakeProgramContent(size, file.seed);
  if (file.kind == "help") return synthetic::MakeHelp(n, file.seed);
  if (file.kind == "document") return synthetic::MakeDocument(n, file.seed, BaseName(file.path));
  if (file.kind == "html") return MakeHtml(size, file.seed);
  if (file.kind == "jpeg") return MakeJpeg(size, file.seed);
  if (file.kind == "photo") return MakePhoto(size, file.seed);
  if (file.kind == "bitmap") return synthetic::MakeBitmap(n, file.seed);
  throw std::runtime_error("unknown kind " + file.kind);
}

}  // namespace bench
