// Content generators. The aim is realism where it matters for the archive: the mix of
// entropy that decides block sizes and stored blocks, and recognisable file headers for
// anyone who opens an extracted file.
#include "tools/synthetic/ContentGenerators.h"

#include <algorithm>
#include <initializer_list>

namespace synthetic {

std::uint64_t Rng::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

namespace {

class Bytes {
 public:
  explicit Bytes(std::size_t reserve) { b_.reserve(reserve); }
  void U8(unsigned v) { b_.push_back(static_cast<std::uint8_t>(v)); }
  void U16(unsigned v) { U8(v); U8(v >> 8); }
  void U32(std::uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
  void Seq(std::initializer_list<unsigned> bytes) { for (unsigned v : bytes) U8(v); }
  void Text(const std::string& s) { b_.insert(b_.end(), s.begin(), s.end()); }
  void Wide(const std::string& s) { for (char c : s) U16(static_cast<unsigned char>(c)); }
  void Fill(unsigned v, std::size_t n) { b_.insert(b_.end(), n, static_cast<std::uint8_t>(v)); }
  void PadTo(std::size_t n, unsigned v = 0) { if (b_.size() < n) Fill(v, n - b_.size()); }
  std::size_t Size() const { return b_.size(); }
  // Cuts or pads (with zeros) to exactly n bytes.
  std::vector<std::uint8_t> Take(std::size_t n) {
    b_.resize(n, 0);
    return std::move(b_);
  }

 private:
  std::vector<std::uint8_t> b_;
};

const char* const kWords[] = {
    "il", "la", "di", "che", "per", "con", "una", "del", "nella", "sono", "programma",
    "archivio", "cliente", "fattura", "documento", "modello", "stampa", "elenco", "ricerca",
    "scheda", "campo", "valore", "premere", "pulsante", "finestra", "menu", "selezionare",
    "aprire", "salvare", "chiudere", "nuovo", "dati", "anagrafica", "indirizzo", "telefono",
    "codice", "fiscale", "partita", "IVA", "importo", "totale", "data", "scadenza", "pagamento",
    "banca", "conto", "opzioni", "impostazioni", "utente", "guida", "argomento", "vedere",
    "anche", "quando", "viene", "visualizzato", "il", "sistema", "consente", "di", "gestire",
    "le", "operazioni", "principali", "in", "modo", "semplice", "e", "rapido", "ogni",
    "voce", "riporta", "descrizione", "breve", "della", "funzione", "si", "possono"};
constexpr std::uint32_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

std::string Sentence(Rng& r) {
  std::string s;
  const std::uint32_t n = 6 + r.Below(12);
  for (std::uint32_t i = 0; i < n; ++i) {
    std::string w = kWords[r.Below(kWordCount)];
    if (i == 0 && w[0] >= 'a' && w[0] <= 'z') w[0] = static_cast<char>(w[0] - 'a' + 'A');
    if (i > 0) s += ' ';
    s += w;
    if (i + 1 < n && r.Below(9) == 0) s += ',';
  }
  switch (r.Below(6)) {
    case 0: s += " \xE8 disponibile"; break;  // a few Windows-1252 accents, as Italian text has
    case 1: s += " pi\xF9 volte"; break;
    default: break;
  }
  return s + ".";
}

// The sixteen colours of the standard VGA palette, as blue, green, red, reserved.
void VgaPalette(Bytes& b) {
  static const std::uint32_t kRgb[16] = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  for (std::uint32_t rgb : kRgb) b.Seq({rgb & 0xFF, (rgb >> 8) & 0xFF, rgb >> 16, 0});
}

// --- Program image -----------------------------------------------------------------------

void ProgramHeaders(Bytes& b, std::uint32_t imageSize) {
  b.Seq({'M', 'Z', 0x50, 0x00, 0x02, 0x00, 0x00, 0x00, 0x04, 0x00, 0x0F, 0x00, 0xFF, 0xFF,
         0x00, 0x00, 0xB8, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x1A, 0x00});
  b.PadTo(0x3C);
  b.U32(0x100);  // offset of the PE header
  b.Seq({0xBA, 0x10, 0x00, 0x0E, 0x1F, 0xB4, 0x09, 0xCD, 0x21, 0xB8, 0x01, 0x4C, 0xCD, 0x21,
         0x90, 0x90});
  b.Text("This program must be run under Win32\r\n$");
  b.PadTo(0x100);
  b.Text(std::string("PE\0\0", 4));
  b.U16(0x014C);      // i386
  b.U16(4);           // sections
  b.U32(0x2A425E19);  // time stamp
  b.U32(0);
  b.U32(0);
  b.U16(0xE0);        // optional header size
  b.U16(0x818E);      // characteristics
  b.U16(0x010B);      // PE32
  b.Seq({2, 25});     // linker version
  b.U32(imageSize / 2);
  b.U32(imageSize / 3);
  b.U32(0);
  b.U32(0x00001000);  // entry point
  b.U32(0x00001000);
  b.U32(imageSize / 2 + 0x1000);
  b.U32(0x00400000);  // image base
  b.U32(0x1000);      // section alignment
  b.U32(0x200);       // file alignment
  b.Seq({4, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0});  // OS, image, subsystem versions
  b.U32(imageSize + 0x1000);  // image size
  b.U32(0x400);       // headers size
  b.U32(0);           // checksum
  b.U16(2);           // Windows GUI
  b.U16(0);
  for (std::uint32_t v : {0x100000u, 0x4000u, 0x100000u, 0x1000u, 0u, 16u}) b.U32(v);
  b.PadTo(0x100 + 0x18 + 0xE0);
  const char* names[] = {"CODE", "DATA", ".idata", ".rsrc"};
  for (int i = 0; i < 4; ++i) {
    std::string n = names[i];
    n.resize(8, '\0');
    b.Text(n);
    b.U32(imageSize / 4);
    b.U32(0x1000 + static_cast<std::uint32_t>(i) * (imageSize / 4));
    b.U32(imageSize / 4);
    b.U32(0x400 + static_cast<std::uint32_t>(i) * (imageSize / 4));
    b.Fill(0, 12);
    b.U32(i == 0 ? 0x60000020u : 0xC0000040u);
  }
  b.PadTo(0x400);
}

// One function of 32-bit x86 code: prologue, a run of common instructions with their usual
// operand shapes (small frame offsets, near calls, image addresses), epilogue, alignment.
void Function(Bytes& b, Rng& r) {
  b.Seq({0x55, 0x8B, 0xEC});
  if (r.Below(2) != 0) b.Seq({0x83, 0xEC, 4 * (1 + r.Below(16))});
  b.Seq({0x53, 0x56, 0x57});
  const std::uint32_t n = 4 + r.Below(40);
  auto frame = [&r] { return r.Below(3) != 0 ? 0x100 - 4 * (1 + r.Below(8)) : 8 + 4 * r.Below(4); };
  for (std::uint32_t i = 0; i < n; ++i) {
    switch (r.Below(14)) {
      case 0: b.Seq({0x8B, 0x45, frame()}); break;  // mov eax, [ebp+d]
      case 1: b.Seq({0x89, 0x45, frame()}); break;  // mov [ebp+d], eax
      case 2: {                                      // call near
        b.U8(0xE8);
        const std::uint32_t rel = r.Below(0x40000);
        b.U32(r.Below(2) != 0 ? rel : 0u - rel);
        break;
      }
      case 3: b.U8(0x68); b.U32(0x00480000 + 4 * r.Below(0x8000)); break;  // push offset
      case 4: b.Seq({0x85, 0xC0, 0x74, 2 + r.Below(40)}); break;         // test; jz short
      case 5: b.Seq({0x8B, 0x48, 4 * r.Below(16)}); break;               // mov ecx, [eax+d]
      case 6: b.Seq({0x8D, 0x45, frame()}); break;                       // lea eax, [ebp+d]
      case 7: b.Seq({0x83, 0x7D, frame(), r.Below(4)}); break;           // cmp [ebp+d], imm8
      case 8: b.Seq({0x33, 0xC0}); break;                                // xor eax, eax
      case 9: b.U8(0xBA); b.U32(r.Below(256)); break;                    // mov edx, imm32
      case 10: b.U8(0x50 + r.Below(3)); break;                           // push reg
      case 11: b.Seq({0xFF, 0x53, 4 * r.Below(32)}); break;              // call [ebx+d]
      case 12: b.Seq({0x8B, 0xD8}); break;                               // mov ebx, eax
      default: b.Seq({0x8B, 0xC3}); break;                               // mov eax, ebx
    }
  }
  b.Seq({0x5F, 0x5E, 0x5B, 0x8B, 0xE5, 0x5D});
  if (r.Below(3) == 0) {
    b.Seq({0xC2, 4 * (1 + r.Below(4)), 0});
  } else {
    b.U8(0xC3);
  }
  while (b.Size() % 4 != 0) b.U8(0x90);
}

void ProgramData(Bytes& b, Rng& r, std::size_t end) {
  static const char* const kUiTexts[] = {
      "Apri archivio", "Salva con nome", "Stampa documento", "Nuovo cliente", "Cerca",
      "Impostazioni", "Informazioni su", "Esci", "Conferma eliminazione", "Campo obbligatorio",
      "Errore di lettura", "Modelli", "ModelliRTF", "Elenco fatture", "Anteprima di stampa"};
  std::uint32_t pointer = 0x00500000;
  while (b.Size() < end) {
    if (r.Below(3) == 0) {  // a table of pointers into the image
      const std::uint32_t n = 8 + r.Below(56);
      for (std::uint32_t i = 0; i < n; ++i) b.U32(pointer += 4 * (1 + r.Below(6)));
    } else {
      b.Text(kUiTexts[r.Below(15)]);
      b.U8(0);
      if (r.Below(4) == 0) {
        b.Text(Sentence(r));
        b.U8(0);
      }
      while (b.Size() % 4 != 0) b.U8(0);
    }
  }
}

void ProgramResources(Bytes& b, Rng& r, std::size_t end) {
  while (b.Size() < end) {
    switch (r.Below(3)) {
      case 0: {  // a bitmap: runs of palette indices
        const std::uint32_t rows = 8 + r.Below(40);
        const std::uint32_t width = 16 * (1 + r.Below(8));
        for (std::uint32_t y = 0; y < rows; ++y) {
          for (std::uint32_t x = 0; x < width; ++x) {
            b.U8(((x / 8 + y / 4) % 3 == 0) ? r.Below(16) : 7 + (y % 2) * 8);
          }
        }
        break;
      }
      case 1:  // a string table: UTF-16 texts
        for (std::uint32_t i = 0; i < 16; ++i) {
          const std::string s = r.Below(2) != 0 ? Sentence(r) : std::string();
          b.U16(static_cast<unsigned>(s.size()));
          b.Wide(s);
        }
        break;
      default:  // a dialog template: header, then controls
        b.U32(0x80C800C4);
        b.U32(0);
        b.U16(4 + r.Below(12));
        for (std::uint32_t i = 0, n = 4 + r.Below(12); i < n; ++i) {
          b.U32(0x50010000);
          b.U32(0);
          b.Seq({8 * r.Below(20), 0, 8 * r.Below(16), 0, 50, 0, 14, 0});
          b.U16(1000 + i);
          b.Seq({0xFF, 0xFF, 0x80 + r.Below(3), 0});
          b.Wide(kWords[r.Below(kWordCount)]);
          b.U16(0);
          b.U16(0);
          while (b.Size() % 4 != 0) b.U8(0);
        }
        break;
    }
  }
}

}  // namespace

std::vector<std::uint8_t> MakeProgram(std::size_t size, std::uint64_t seed,
                                      const std::vector<std::size_t>& randomPieces,
                                      const std::vector<std::size_t>& densePieces,
                                      std::size_t pieceSize) {
  Rng r(seed);
  Bytes b(size + 4096);
  ProgramHeaders(b, static_cast<std::uint32_t>(size));
  const std::size_t codeEnd = size / 100 * 55;
  const std::size_t dataEnd = size / 100 * 70;
  while (b.Size() < codeEnd) Function(b, r);
  ProgramData(b, r, dataEnd);
  ProgramResources(b, r, size);
  std::vector<std::uint8_t> out = b.Take(size);
  const auto scramble = [&](std::size_t piece, std::size_t count) {
    const std::size_t at = piece * pieceSize;
    if (at > size || pieceSize > size - at) return;
    for (std::size_t i = 0; i < count; i += 8) {
      std::uint64_t v = r.Next();
      for (std::size_t k = 0; k < 8 && i + k < count; ++k, v >>= 8) {
        out[at + i + k] = static_cast<std::uint8_t>(v);
      }
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(at + count),
              out.begin() + static_cast<std::ptrdiff_t>(at + pieceSize), 0);
  };
  for (std::size_t piece : randomPieces) scramble(piece, pieceSize);
  for (std::size_t piece : densePieces) scramble(piece, pieceSize > 256 ? pieceSize - 256 : 0);
  return out;
}

std::vector<std::uint8_t> MakeIcon(std::uint64_t seed) {
  constexpr int kSide = 32;
  Bytes b(766);
  b.Seq({0, 0, 1, 0, 1, 0});                 // icon directory: one image
  b.Seq({kSide, kSide, 16, 0, 1, 0, 4, 0});  // 32x32, 16 colours, 1 plane, 4 bits
  b.U32(40 + 64 + kSide * kSide / 2 + kSide * kSide / 8);
  b.U32(22);
  b.U32(40);
  b.U32(kSide);
  b.U32(2 * kSide);  // colour image and mask
  b.U16(1);
  b.U16(4);
  b.U32(0);
  b.U32(kSide * kSide / 2 + kSide * kSide / 8);
  b.Fill(0, 16);
  VgaPalette(b);
  // A magnifying glass: a ring with a light lens and a handle, rows bottom-up.
  Rng r(seed);
  const unsigned lens = 11 + r.Below(2) * 3;  // light cyan or white
  std::vector<std::uint8_t> pixels(kSide * kSide, 0xFF);  // 0xFF: transparent
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const int dx = x - 12, dy = y - 19;
      const int d2 = dx * dx + dy * dy;
      std::uint8_t& p = pixels[y * kSide + x];
      if (d2 <= 64) p = static_cast<std::uint8_t>(lens);
      if (d2 > 49 && d2 <= 100) p = 0;                               // black ring
      const int along = x - 18, across = (x - 18) + (y - 13);
      if (along >= 0 && along <= 10 && across >= -2 && across <= 2) p = 1;  // dark red handle
    }
  }
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; x += 2) {
      const auto c = [&](int xx) { return pixels[y * kSide + xx] == 0xFF ? 0 : pixels[y * kSide + xx]; };
      b.U8((c(x) << 4) | c(x + 1));
    }
  }
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; x += 8) {
      unsigned mask = 0;
      for (int k = 0; k < 8; ++k) mask = (mask << 1) | (pixels[y * kSide + x + k] == 0xFF ? 1 : 0);
      b.U8(mask);
    }
  }
  return b.Take(766);
}

std::vector<std::uint8_t> MakeHelp(std::size_t size, std::uint64_t seed) {
  Rng r(seed);
  Bytes b(size + 4096);
  b.Seq({0x3F, 0x5F, 0x03, 0x00});  // help file magic
  b.U32(0x10);
  b.U32(0xFFFFFFFF);
  b.U32(static_cast<std::uint32_t>(size));
  std::uint32_t topic = 0;
  std::uint32_t previous = 0;
  while (b.Size() < size) {
    const std::size_t start = b.Size();
    b.U32(0);         // record length, not filled in
    b.U32(previous);  // previous topic
    b.U32(++topic);
    b.U8(0x20);
    b.Text("Argomento " + std::to_string(topic) + ": ");
    b.Text(Sentence(r));
    b.U8(0);
    for (std::uint32_t p = 0, n = 2 + r.Below(8); p < n; ++p) {
      b.Seq({0x80, 0x82});  // paragraph and font codes
      for (std::uint32_t s = 0, m = 1 + r.Below(5); s < m; ++s) {
        b.Text(Sentence(r));
        b.U8(' ');
      }
      if (r.Below(4) == 0) {  // a jump to another topic
        b.Seq({0xE3, 0x04});
        b.U32(r.Below(topic + 50));
      }
      b.U8(0xFF);
    }
    previous = static_cast<std::uint32_t>(start);
  }
  return b.Take(size);
}

std::vector<std::uint8_t> MakeDocument(std::size_t size, std::uint64_t seed,
                                       const std::string& title) {
  static const char* const kFields[] = {"RAGIONE_SOCIALE", "INDIRIZZO", "CAP", "CITTA",
                                        "PARTITA_IVA", "DATA", "NUMERO", "TOTALE"};
  Rng r(seed);
  Bytes b(size + 4096);
  b.Text("{modello " + title + "}\r\n");
  for (int s = 0; s < 6; ++s) {
    b.Text("stile " + std::to_string(s) + " \"Arial\" " + std::to_string(8 + 2 * s) + " " +
           std::to_string(r.Below(2)) + "\r\n");
  }
  while (b.Size() + 2 < size) {
    switch (r.Below(5)) {
      case 0:
        b.Text("campo <<" + std::string(kFields[r.Below(8)]) + ">>\r\n");
        break;
      case 1:
        if (r.Below(6) == 0) {  // an embedded picture, as hexadecimal text
          b.Text("immagine 4 bit\r\n");
          for (std::uint32_t line = 0, n = 20 + r.Below(60); line < n; ++line) {
            const unsigned v = r.Below(16);
            for (int k = 0; k < 64; ++k) b.U8("0123456789abcdef"[(k % 8 == 0) ? r.Below(16) : v]);
            b.Text("\r\n");
          }
          break;
        }
        // fall through
      default: {
        // Two draws in one expression would be unsequenced: draw them in order.
        const std::uint32_t style = r.Below(6);
        b.Text("par " + std::to_string(style) + " " + Sentence(r) + "\r\n");
        break;
      }
    }
  }
  std::vector<std::uint8_t> out = b.Take(size);
  if (size >= 2) {
    out[size - 2] = '\r';
    out[size - 1] = '\n';
  }
  return out;
}

std::vector<std::uint8_t> MakeBitmap(std::size_t size, std::uint64_t seed) {
  // 4 bits per pixel, 16 colours; each row padded to 4 bytes. Files saved by many editors end
  // with 2 bytes of padding after the pixels, which these keep.
  constexpr std::uint32_t kWidth = 336;
  constexpr std::uint32_t kRowBytes = (kWidth / 2 + 3) / 4 * 4;
  constexpr std::uint32_t kPixelsAt = 14 + 40 + 64;
  const std::uint32_t height = size > kPixelsAt + 2 ? static_cast<std::uint32_t>((size - kPixelsAt - 2) / kRowBytes) : 0;
  Rng r(seed);
  Bytes b(size);
  b.Seq({'B', 'M'});
  b.U32(static_cast<std::uint32_t>(size));
  b.U32(0);
  b.U32(kPixelsAt);
  b.U32(40);
  b.U32(kWidth);
  b.U32(height);
  b.U16(1);
  b.U16(4);
  b.U32(0);
  b.U32(kRowBytes * height);
  b.U32(2835);
  b.U32(2835);
  b.U32(16);
  b.U32(0);
  VgaPalette(b);
  // A framed picture: background bands, a frame, a filled panel and lines of "text" dots.
  const unsigned background = 7 + 8 * r.Below(2);
  const unsigned ink = r.Below(7);
  const unsigned panel = 9 + r.Below(6);
  const std::uint32_t panelLeft = 20 + r.Below(100), panelTop = 10 + r.Below(40);
  for (std::uint32_t y = 0; y < height; ++y) {
    for (std::uint32_t x = 0; x < kRowBytes * 2; x += 2) {
      unsigned px[2];
      for (int k = 0; k < 2; ++k) {
        const std::uint32_t xx = x + k;
        unsigned c = background;
        if (xx >= kWidth) c = 0;
        else if (y < 3 || y + 3 >= height || xx < 3 || xx + 3 >= kWidth) c = ink;
        else if (xx >= panelLeft && xx < panelLeft + 120 && y >= panelTop && y < panelTop + 40) c = panel;
        else if (y % 12 < 7 && xx > 160 && xx < 320 && r.Below(3) == 0) c = ink;
        px[k] = c;
      }
      b.U8((px[0] << 4) | px[1]);
    }
  }
  return b.Take(size);
}

}  // namespace synthetic
