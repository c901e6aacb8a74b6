// Stand-in for the Windows shell where there is none. The special folders are folders of the
// file layer's drive root laid out as a Windows profile (as Wine lays them out), created on
// first use as Windows has them; a shell link is saved as a small record file at the link's
// path, so that tests can read the link back:
//
//   LUMILINK 2\n
//   Target=<byte count>:<bytes>\n
//   Description=<byte count>:<bytes>\n
//   ShowCmd=normal|show\n
//
// Initialisation is counted per thread; a link object cannot be created on a thread where the
// shell is not initialised, and paths are held to the Windows shell's buffer size, so that the
// native tests meet the refusals the Windows build meets.
#include "platform/Shell.h"

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace plat {

namespace {

constexpr char kRecordMagic[] = "LUMILINK 2";
constexpr char kFieldTarget[] = "Target";
constexpr char kFieldDescription[] = "Description";
constexpr char kFieldShowCmd[] = "ShowCmd";
// A link record is tiny; anything larger is not one of ours.
constexpr std::int64_t kMaxRecordSize = 64 * 1024;
// The Windows shell's path buffers, terminator included.
constexpr std::size_t kPathBuffer = 260;
// The Windows shell keeps at most this many characters of a description.
constexpr std::size_t kDescriptionBuffer = 1024;
constexpr char kShowNormal[] = "normal";
constexpr char kShowShow[] = "show";

constexpr char kProfilesFolder[] = "c:\\users\\";
constexpr char kStartMenuFolder[] = "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu";

thread_local int comInitCount = 0;

// The profile's user: the login name as Wine takes it, or a fixed one. Characters a Windows
// file name cannot hold are replaced.
std::string UserName() {
  const char* env = std::getenv("USER");
  std::string name = env && *env ? env : "user";
  for (char& c : name) {
    if (c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
        c == '>' || c == '|')
      c = '_';
  }
  return name;
}

bool PathFitsBuffer(const std::string& path) { return path.size() < kPathBuffer; }

bool FolderFor(SpecialFolder folder, std::string& path) {
  const std::string profile = kProfilesFolder + UserName();
  switch (folder) {
    case SpecialFolder::kDesktopDirectory: path = profile + "\\Desktop"; return true;
    case SpecialFolder::kStartMenu: path = profile + kStartMenuFolder; return true;
    case SpecialFolder::kPrograms: path = profile + kStartMenuFolder + "\\Programs"; return true;
    case SpecialFolder::kCommonAppData: path = "c:\\ProgramData"; return true;
  }
  return false;
}

struct LinkState {
  std::string target;
  std::string description;
  ShowCommand showCmd = ShowCommand::kNormal;
};

void AppendField(std::string& out, const char* name, const std::string& value) {
  out += name;
  out += '=';
  out += std::to_string(value.size());
  out += ':';
  out += value;
  out += '\n';
}

// Reads "<name>=<count>:<bytes>\n" at pos; false when the text is not exactly that.
bool ParseField(const std::string& in, std::size_t& pos, const char* name, std::string& value) {
  const std::string prefix = std::string(name) + "=";
  if (in.compare(pos, prefix.size(), prefix) != 0) return false;
  pos += prefix.size();
  std::size_t count = 0;
  std::size_t digits = 0;
  while (pos < in.size() && in[pos] >= '0' && in[pos] <= '9' && digits < 6) {
    count = count * 10 + static_cast<std::size_t>(in[pos] - '0');
    ++pos;
    ++digits;
  }
  if (digits == 0 || pos >= in.size() || in[pos] != ':') return false;
  ++pos;
  if (count > in.size() - pos) return false;
  value = in.substr(pos, count);
  pos += count;
  if (pos >= in.size() || in[pos] != '\n') return false;
  ++pos;
  return true;
}

class RecordFile : public ShellLinkFile {
 public:
  explicit RecordFile(std::shared_ptr<LinkState> state) : state_(std::move(state)) {}

  ShellResult Save(const std::string& path, bool /*remember*/) override {
    if (path.empty()) return ShellResult::kFailed;
    if (!PathFitsBuffer(path)) return ShellResult::kPathTooLong;
    std::string record = std::string(kRecordMagic) + "\n";
    AppendField(record, kFieldTarget, state_->target);
    AppendField(record, kFieldDescription, state_->description);
    record += std::string(kFieldShowCmd) + "=" +
              (state_->showCmd == ShowCommand::kShow ? kShowShow : kShowNormal) + "\n";
    try {
      auto file = RealFileSystem().Create(path);
      file->WriteBuffer(record.data(), static_cast<std::int32_t>(record.size()));
    } catch (const std::exception&) {
      return ShellResult::kFailed;
    }
    return ShellResult::kOk;
  }

 private:
  std::shared_ptr<LinkState> state_;
};

class RecordLink : public ShellLink {
 public:
  ShellResult SetPath(const std::string& target) override {
    if (!PathFitsBuffer(target)) return ShellResult::kPathTooLong;
    state_->target = target;
    return ShellResult::kOk;
  }
  ShellResult SetDescription(const std::string& description) override {
    if (description.size() >= kDescriptionBuffer) return ShellResult::kFailed;
    state_->description = description;
    return ShellResult::kOk;
  }
  ShellResult SetShowCmd(ShowCommand showCmd) override {
    if (showCmd == ShowCommand::kOther) return ShellResult::kFailed;
    state_->showCmd = showCmd;
    return ShellResult::kOk;
  }
  ShellResult QueryPersistFile(std::unique_ptr<ShellLinkFile>& file) override {
    file.reset(new RecordFile(state_));
    return ShellResult::kOk;
  }

 private:
  std::shared_ptr<LinkState> state_ = std::make_shared<LinkState>();
};

class StandInShell : public Shell {
 public:
  bool SpecialFolderPath(SpecialFolder id, std::string& path) override {
    std::string folder;
    if (!FolderFor(id, folder)) return false;
    if (!PathFitsBuffer(folder)) return false;
    try {
      if (!RealFileSystem().ForceDirectories(folder)) return false;
    } catch (const std::exception&) {
      return false;
    }
    path = folder;
    return true;
  }

  bool PathFits(const std::string& path) const override { return PathFitsBuffer(path); }

  ShellResult ComInitialize() override {
    return comInitCount++ == 0 ? ShellResult::kOk : ShellResult::kAlreadyInitialised;
  }

  void ComUninitialize() override {
    if (comInitCount > 0) --comInitCount;
  }

  ShellResult CreateShellLink(std::unique_ptr<ShellLink>& link) override {
    if (comInitCount == 0) return ShellResult::kNotInitialised;
    link.reset(new RecordLink());
    return ShellResult::kOk;
  }

  bool ReadLink(const std::string& path, LinkInfo& info) override {
    std::string record;
    try {
      auto file = RealFileSystem().OpenRead(path);
      const std::int64_t size = file->Size();
      if (size < 0 || size > kMaxRecordSize) return false;
      record.resize(static_cast<std::size_t>(size));
      if (size > 0) file->ReadBuffer(&record[0], static_cast<std::int32_t>(size));
    } catch (const std::exception&) {
      return false;
    }
    std::size_t pos = 0;
    const std::string magic = std::string(kRecordMagic) + "\n";
    if (record.compare(0, magic.size(), magic) != 0) return false;
    pos = magic.size();
    LinkInfo read;
    if (!ParseField(record, pos, kFieldTarget, read.target)) return false;
    if (!ParseField(record, pos, kFieldDescription, read.description)) return false;
    const std::string prefix = std::string(kFieldShowCmd) + "=";
    if (record.compare(pos, prefix.size(), prefix) != 0) return false;
    pos += prefix.size();
    const std::size_t end = record.find('\n', pos);
    if (end == std::string::npos) return false;
    const std::string showCmd = record.substr(pos, end - pos);
    if (showCmd == kShowNormal) {
      read.showCmd = ShowCommand::kNormal;
    } else if (showCmd == kShowShow) {
      read.showCmd = ShowCommand::kShow;
    } else {
      return false;
    }
    info = read;
    return true;
  }
};

}  // namespace

Shell& SystemShell() {
  static StandInShell shell;
  return shell;
}

}  // namespace plat
