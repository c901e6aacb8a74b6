// Stand-in for the Windows shell where there is none. The special folders are folders of the
// file layer's drive root laid out as a Windows profile (as Wine lays them out), created on
// first use as Windows has them; a shell link is saved as a small record file at the link's
// path, so that tests can read the link back:
//
//   LUMILINK 1\n
//   Target=<byte count>:<bytes>\n
//   Description=<byte count>:<bytes>\n
//   ShowCmd=<decimal>\n
//
// COM initialisation is counted per thread; a link object cannot be created on a thread where
// COM is not initialised, as with the real COM library.
#include "platform/Shell.h"

#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace plat {

namespace {

constexpr char kRecordMagic[] = "LUMILINK 1";
constexpr char kFieldTarget[] = "Target";
constexpr char kFieldDescription[] = "Description";
constexpr char kFieldShowCmd[] = "ShowCmd";
// A link record is tiny; anything larger is not one of ours.
constexpr std::int64_t kMaxRecordSize = 64 * 1024;
// CO_E_NOTINITIALIZED
constexpr ComResult kNotInitialized = static_cast<ComResult>(0x800401F0u);

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

bool FolderFor(int id, std::string& path) {
  const std::string profile = kProfilesFolder + UserName();
  switch (id) {
    case csidl::kDesktop:
    case csidl::kDesktopDirectory: path = profile + "\\Desktop"; return true;
    case csidl::kStartMenu: path = profile + kStartMenuFolder; return true;
    case csidl::kPrograms: path = profile + kStartMenuFolder + "\\Programs"; return true;
    case csidl::kStartup: path = profile + kStartMenuFolder + "\\Programs\\Startup"; return true;
    case csidl::kPersonal: path = profile + "\\Documents"; return true;
    case csidl::kAppData: path = profile + "\\AppData\\Roaming"; return true;
    case csidl::kWindows: path = "c:\\windows"; return true;
    case csidl::kSystem: path = SystemDirectory(); return true;
    case csidl::kProgramFiles: path = "c:\\Program Files"; return true;
    default: return false;
  }
}

struct LinkState {
  std::string target;
  std::string description;
  int showCmd = sw::kShowNormal;
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

  ComResult Save(const std::string& path, bool /*remember*/) override {
    if (path.empty()) return com::kFail;
    if (path.size() >= kMaxPath) return com::kPathTooLong;
    std::string record = std::string(kRecordMagic) + "\n";
    AppendField(record, kFieldTarget, state_->target);
    AppendField(record, kFieldDescription, state_->description);
    record += std::string(kFieldShowCmd) + "=" + std::to_string(state_->showCmd) + "\n";
    try {
      auto file = RealFileSystem().Create(path);
      file->WriteBuffer(record.data(), static_cast<std::int32_t>(record.size()));
    } catch (const std::exception&) {
      return com::kFail;
    }
    return com::kOk;
  }

 private:
  std::shared_ptr<LinkState> state_;
};

class RecordLink : public ShellLink {
 public:
  ComResult SetPath(const std::string& target) override {
    if (target.size() >= kMaxPath) return com::kPathTooLong;
    state_->target = target;
    return com::kOk;
  }
  ComResult SetDescription(const std::string& description) override {
    // INFOTIPSIZE: the shell keeps at most 1023 characters of a description.
    if (description.size() >= 1024) return com::kFail;
    state_->description = description;
    return com::kOk;
  }
  ComResult SetShowCmd(int showCmd) override {
    state_->showCmd = showCmd;
    return com::kOk;
  }
  ComResult QueryPersistFile(std::unique_ptr<ShellLinkFile>& file) override {
    file.reset(new RecordFile(state_));
    return com::kOk;
  }

 private:
  std::shared_ptr<LinkState> state_ = std::make_shared<LinkState>();
};

class PosixShell : public Shell {
 public:
  bool SpecialFolderPath(int id, std::string& path) override {
    std::string folder;
    if (!FolderFor(id, folder)) return false;
    if (folder.size() >= kMaxPath) return false;
    try {
      if (!RealFileSystem().ForceDirectories(folder)) return false;
    } catch (const std::exception&) {
      return false;
    }
    path = folder;
    return true;
  }

  ComResult ComInitialize() override {
    return comInitCount++ == 0 ? com::kOk : com::kFalse;
  }

  void ComUninitialize() override {
    if (comInitCount > 0) --comInitCount;
  }

  ComResult CreateShellLink(std::unique_ptr<ShellLink>& link) override {
    if (comInitCount == 0) return kNotInitialized;
    link.reset(new RecordLink());
    return com::kOk;
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
    if (end == std::string::npos || end == pos || end - pos > 6) return false;
    int showCmd = 0;
    for (std::size_t i = pos; i < end; ++i) {
      if (record[i] < '0' || record[i] > '9') return false;
      showCmd = showCmd * 10 + (record[i] - '0');
    }
    read.showCmd = showCmd;
    info = read;
    return true;
  }
};

}  // namespace

Shell& SystemShell() {
  static PosixShell shell;
  return shell;
}

}  // namespace plat
