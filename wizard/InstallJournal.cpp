// The installation run's journal: its records, written ahead of each change, and read back.
#include "wizard/InstallJournal.h"

#include <zlib.h>

#include "platform/Error.h"

namespace wizard {

namespace {

constexpr char kVersion[] = "1";
constexpr char kHex[] = "0123456789abcdef";
// The journal's name in the machine's application data folder. Directly there, in no folder of
// its own: a folder would be a change made before the journal could record it.
constexpr char kJournalName[] = "NORTAVIA Zentaro installazione.journal";

struct KindName {
  ChangeKind kind;
  const char* name;
};
constexpr KindName kKindNames[] = {
    {ChangeKind::kBegin, "begin"},         {ChangeKind::kFolder, "folder"},
    {ChangeKind::kNewFile, "file"},        {ChangeKind::kReplacedFile, "replace"},
    {ChangeKind::kLink, "link"},           {ChangeKind::kRegistryKey, "regkey"},
    {ChangeKind::kRegistryValue, "regvalue"}, {ChangeKind::kCommit, "commit"},
    {ChangeKind::kRollback, "rollback"},
};

std::string Escape(const std::string& field) {
  std::string out;
  for (const char ch : field) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == '%' || c == 0x7F) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += ch;
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(const std::string& field, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (field.size() - i < 3) return false;
    const int high = HexDigit(field[i + 1]);
    const int low = HexDigit(field[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  for (const std::uint8_t b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

bool FromHexBytes(const std::string& text, std::vector<std::uint8_t>& out) {
  if (text.size() % 2 != 0) return false;
  out.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    out.push_back(static_cast<std::uint8_t>(high * 16 + low));
  }
  return true;
}

// Decimal digits only, at most 10 of them: the journal's numbers are registry roots and types.
bool ParseNumber(const std::string& text, std::uint64_t& value) {
  if (text.empty() || text.size() > 10) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return true;
}

// Adler-32, which the installer has for its payload's blocks already: a torn line is what it
// must catch, not a deliberate change.
// One of the four registry roots, by its number.
bool ParseRoot(const std::string& text, plat::RegKey& root) {
  std::uint64_t number = 0;
  if (!ParseNumber(text, number) || number > 0xFFFFFFFFu) return false;
  root = static_cast<plat::RegKey>(number);
  return plat::IsRootKey(root);
}

std::uint32_t Checksum(const std::string& text) {
  return static_cast<std::uint32_t>(adler32(adler32(0L, Z_NULL, 0),
                                            reinterpret_cast<const Bytef*>(text.data()),
                                            static_cast<uInt>(text.size())));
}

std::string Hex8(std::uint32_t value) {
  std::string out(8, '0');
  for (int i = 7; i >= 0; --i, value >>= 4) out[static_cast<std::size_t>(i)] = kHex[value & 0xF];
  return out;
}

std::vector<std::string> Fields(const Change& c) {
  switch (c.kind) {
    case ChangeKind::kBegin: return {kVersion, c.path};
    case ChangeKind::kFolder: return {c.path};
    case ChangeKind::kNewFile: return {c.path, c.temp};
    case ChangeKind::kReplacedFile: return {c.path, c.temp, c.backup};
    case ChangeKind::kLink: return {c.path, c.backup};
    case ChangeKind::kRegistryKey: return {std::to_string(c.root), c.path};
    case ChangeKind::kRegistryValue:
      return {std::to_string(c.root), c.path, c.valueName, c.existed ? "1" : "0",
              std::to_string(c.type), HexBytes(c.data)};
    case ChangeKind::kCommit:
    case ChangeKind::kRollback: return {};
  }
  return {};
}

std::string Line(const Change& c) {
  std::string body;
  for (const KindName& k : kKindNames)
    if (k.kind == c.kind) body = k.name;
  for (const std::string& field : Fields(c)) body += "\t" + Escape(field);
  return Hex8(Checksum(body)) + " " + body + "\n";
}

// The change a line's body holds; false when it is not a record of this journal.
bool ParseBody(const std::string& body, Change& c) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = body.find('\t', start);
    std::string field;
    if (!Unescape(body.substr(start, tab == std::string::npos ? std::string::npos : tab - start),
                  field)) {
      return false;
    }
    parts.push_back(field);
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  const std::string kind = parts.front();
  parts.erase(parts.begin());
  bool known = false;
  for (const KindName& k : kKindNames) {
    if (kind == k.name) {
      c.kind = k.kind;
      known = true;
    }
  }
  if (!known) return false;
  const std::size_t n = parts.size();
  std::uint64_t number = 0;
  switch (c.kind) {
    case ChangeKind::kBegin:
      if (n != 2 || parts[0] != kVersion) return false;
      c.path = parts[1];
      return true;
    case ChangeKind::kFolder:
      if (n != 1) return false;
      c.path = parts[0];
      return !c.path.empty();
    case ChangeKind::kNewFile:
      if (n != 2) return false;
      c.path = parts[0];
      c.temp = parts[1];
      return !c.path.empty() && !c.temp.empty();
    case ChangeKind::kReplacedFile:
      if (n != 3) return false;
      c.path = parts[0];
      c.temp = parts[1];
      c.backup = parts[2];
      return !c.path.empty() && !c.temp.empty() && !c.backup.empty();
    case ChangeKind::kLink:
      if (n != 2) return false;
      c.path = parts[0];
      c.backup = parts[1];
      return !c.path.empty();
    case ChangeKind::kRegistryKey:
      if (n != 2 || !ParseRoot(parts[0], c.root)) return false;
      c.path = parts[1];
      return !c.path.empty();
    case ChangeKind::kRegistryValue:
      if (n != 6 || !ParseRoot(parts[0], c.root)) return false;
      c.path = parts[1];
      c.valueName = parts[2];
      if (parts[3] != "0" && parts[3] != "1") return false;
      c.existed = parts[3] == "1";
      if (!ParseNumber(parts[4], number) || number > 0xFFFFFFFFu) return false;
      c.type = static_cast<std::uint32_t>(number);
      return FromHexBytes(parts[5], c.data);
    case ChangeKind::kCommit:
    case ChangeKind::kRollback:
      return n == 0;
  }
  return false;
}

}  // namespace

Change Change::Folder(const std::string& path) {
  Change c;
  c.kind = ChangeKind::kFolder;
  c.path = path;
  return c;
}

Change Change::NewFile(const std::string& path, const std::string& temp) {
  Change c;
  c.kind = ChangeKind::kNewFile;
  c.path = path;
  c.temp = temp;
  return c;
}

Change Change::ReplacedFile(const std::string& path, const std::string& temp,
                            const std::string& backup) {
  Change c;
  c.kind = ChangeKind::kReplacedFile;
  c.path = path;
  c.temp = temp;
  c.backup = backup;
  return c;
}

Change Change::Link(const std::string& path, const std::string& backup) {
  Change c;
  c.kind = ChangeKind::kLink;
  c.path = path;
  c.backup = backup;
  return c;
}

Change Change::RegistryKey(plat::RegKey root, const std::string& path) {
  Change c;
  c.kind = ChangeKind::kRegistryKey;
  c.root = root;
  c.path = path;
  return c;
}

Change Change::RegistryValue(plat::RegKey root, const std::string& path, const std::string& name,
                             bool existed, std::uint32_t type, std::vector<std::uint8_t> data) {
  Change c;
  c.kind = ChangeKind::kRegistryValue;
  c.root = root;
  c.path = path;
  c.valueName = name;
  c.existed = existed;
  c.type = type;
  c.data = std::move(data);
  return c;
}

Change Change::Commit() {
  Change c;
  c.kind = ChangeKind::kCommit;
  return c;
}

Change Change::Rollback() {
  Change c;
  c.kind = ChangeKind::kRollback;
  return c;
}

JournalWriter::JournalWriter(plat::FileSystem& fs, const std::string& path,
                             const std::string& destination)
    : fs_(fs), path_(path) {
  if (fs_.Exists(path_)) {
    throw plat::Error("An installation journal is there already: \"" + path_ + "\".");
  }
  file_ = fs_.Create(path_);
  try {
    Change begin;
    begin.kind = ChangeKind::kBegin;
    begin.path = destination;
    Append(begin);
  } catch (...) {
    // Nothing was changed yet: the journal goes again.
    file_.reset();
    fs_.DeleteFile(path_);
    throw;
  }
}

void JournalWriter::Append(const Change& change) {
  if (!file_) throw plat::Error("The installation journal is closed: \"" + path_ + "\".");
  const std::string line = Line(change);
  file_->Seek(end_, plat::Stream::Origin::Begin);
  file_->WriteBuffer(line.data(), static_cast<std::int32_t>(line.size()));
  if (!file_->Flush()) throw plat::Error("Cannot write the journal \"" + path_ + "\" to disk.");
  end_ += static_cast<std::int64_t>(line.size());
}

std::vector<Change> ReadJournal(plat::FileSystem& fs, const std::string& path) {
  std::string text;
  try {
    std::unique_ptr<plat::FileStream> file = fs.OpenRead(path);
    const std::int64_t size = file->Size();
    // Records are short lines, one per file, folder or link of one installation.
    if (size < 0 || size > 64 * 1024 * 1024) throw JournalUnreadable("the journal is too large");
    text.resize(static_cast<std::size_t>(size));
    if (size > 0) file->ReadBuffer(&text[0], static_cast<std::int32_t>(size));
  } catch (const JournalUnreadable&) {
    throw;
  } catch (const std::exception& e) {
    throw JournalUnreadable(e.what());
  }
  std::vector<Change> changes;
  std::size_t start = 0;
  int number = 0;
  while (start < text.size()) {
    ++number;
    const std::size_t end = text.find('\n', start);
    const bool last = end == std::string::npos || end + 1 == text.size();
    const std::string line =
        text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    start = end == std::string::npos ? text.size() : end + 1;
    Change change;
    const bool checked = end != std::string::npos && line.size() > 9 && line[8] == ' ' &&
                         line.compare(0, 8, Hex8(Checksum(line.substr(9)))) == 0;
    if (!checked) {
      if (last) break;  // the record being written when the run stopped
      throw JournalUnreadable("record " + std::to_string(number) + " is damaged");
    }
    if (!ParseBody(line.substr(9), change) ||
        (change.kind == ChangeKind::kBegin) != changes.empty()) {
      throw JournalUnreadable("record " + std::to_string(number) + " is not understood");
    }
    changes.push_back(change);
  }
  return changes;
}

std::string JournalPath(const std::string& commonAppData) {
  if (commonAppData.empty()) return std::string();
  return plat::IncludeTrailingBackslash(commonAppData) + kJournalName;
}

}  // namespace wizard
