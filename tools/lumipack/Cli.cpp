// The command line: parsing, dispatch, and the one-line failure report.
#include <cstdlib>
#include <exception>

#include "archive/BlockCodecs.h"
#include "platform/Error.h"
#include "tools/lumipack/Failure.h"
#include "tools/lumipack/Lumipack.h"

namespace lumipack {

namespace {

constexpr char kUsage[] =
    "usage: lumipack create -o OUT [-C DIR] [--stub EXE] [--title TEXT] [--prefix WINPATH]\n"
    "                       [--level 0-9] [--volume-size BYTES] [--threads N] [--codec NAME]\n"
    "                       INPUT...\n"
    "       lumipack list FILE\n"
    "       lumipack extract FILE [-d DIR] [--full-path] [--codec NAME]\n"
    "       lumipack verify FILE [--codec NAME]\n"
    "       lumipack help | --version\n"
    "INPUTs are files or folders relative to the current folder, or to DIR with -C.\n"
    "codecs: ";

// A message on one line, whatever it holds.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

bool ParseInteger(const std::string& text, std::int64_t min, std::int64_t max, std::int64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return value >= min && value <= max;
}

class Arguments {
 public:
  Arguments(const std::vector<std::string>& args, std::size_t first) : args_(args), next_(first) {}
  bool More() const { return next_ < args_.size(); }
  const std::string& Take() { return args_[next_++]; }
  const std::string& ValueOf(const std::string& option) {
    if (!More()) throw UsageError(option + " needs a value");
    return Take();
  }

 private:
  const std::vector<std::string>& args_;
  std::size_t next_;
};

bool IsOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

void RunCreate(Arguments& a, Context& ctx) {
  CreateOptions o;
  bool optionsEnded = false;
  while (a.More()) {
    const std::string& arg = a.Take();
    if (optionsEnded || !IsOption(arg)) {
      o.inputs.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-o") {
      o.out = a.ValueOf(arg);
    } else if (arg == "-C") {
      // One folder for every INPUT, wherever it stands: unlike tar's, a second -C would not
      // apply only to the INPUTs after it, so it is refused rather than taken differently.
      if (!o.baseFolder.empty()) throw UsageError("-C may be given once");
      o.baseFolder = a.ValueOf(arg);
      if (o.baseFolder.empty()) throw UsageError("-C needs a folder");
    } else if (arg == "--stub") {
      o.stub = a.ValueOf(arg);
    } else if (arg == "--title") {
      o.title = a.ValueOf(arg);
    } else if (arg == "--prefix") {
      o.prefix = a.ValueOf(arg);
    } else if (arg == "--level") {
      std::int64_t level = 0;
      if (!ParseInteger(a.ValueOf(arg), 0, 9, level)) throw UsageError("--level takes 0 to 9");
      o.level = static_cast<int>(level);
    } else if (arg == "--volume-size") {
      std::int64_t size = 0;
      if (!ParseInteger(a.ValueOf(arg), 1, 0x7FFFFFFF, size)) {
        throw UsageError("--volume-size takes a number of bytes from 1 to 2147483647");
      }
      o.volumeSize = size;
    } else if (arg == "--threads") {
      std::int64_t threads = 0;
      if (!ParseInteger(a.ValueOf(arg), 1, kMaxThreads, threads)) {
        throw UsageError("--threads takes 1 to " + std::to_string(kMaxThreads));
      }
      o.threads = static_cast<int>(threads);
    } else if (arg == "--codec") {
      o.codec = CodecNamed(a.ValueOf(arg)).Name();
    } else {
      throw UsageError("create: unknown option " + arg);
    }
  }
  if (o.out.empty()) throw UsageError("create needs -o OUT");
  if (o.inputs.empty()) throw UsageError("create needs at least one INPUT");
  if (!o.stub.empty() && o.volumeSize != 0) {
    throw UsageError("an installer holds one volume: --stub and --volume-size exclude each other");
  }
  Create(o, ctx);
}

std::string OneFile(Arguments& a, const std::string& command) {
  if (!a.More()) throw UsageError(command + " needs FILE");
  const std::string file = a.Take();
  if (a.More()) throw UsageError(command + ": unexpected argument " + a.Take());
  return file;
}

void RunExtract(Arguments& a, Context& ctx) {
  ExtractOptions o;
  bool haveFile = false;
  while (a.More()) {
    const std::string& arg = a.Take();
    if (arg == "-d") {
      o.dir = a.ValueOf(arg);
      if (o.dir.empty()) throw UsageError("-d needs a folder");
    } else if (arg == "--full-path") {
      o.fullPath = true;
    } else if (arg == "--codec") {
      o.codec = CodecNamed(a.ValueOf(arg)).Name();
    } else if (IsOption(arg)) {
      throw UsageError("extract: unknown option " + arg);
    } else if (haveFile) {
      throw UsageError("extract: unexpected argument " + arg);
    } else {
      o.file = arg;
      haveFile = true;
    }
  }
  if (!haveFile) throw UsageError("extract needs FILE");
  Extract(o, ctx);
}

void RunVerify(Arguments& a, Context& ctx) {
  std::string file;
  std::string codec = kDefaultCodec;
  bool haveFile = false;
  while (a.More()) {
    const std::string& arg = a.Take();
    if (arg == "--codec") {
      codec = CodecNamed(a.ValueOf(arg)).Name();
    } else if (IsOption(arg)) {
      throw UsageError("verify: unknown option " + arg);
    } else if (haveFile) {
      throw UsageError("verify: unexpected argument " + arg);
    } else {
      file = arg;
      haveFile = true;
    }
  }
  if (!haveFile) throw UsageError("verify needs FILE");
  Verify(file, ctx, codec);
}

std::string CodecList() {
  std::string list;
  for (const std::string& name : archive::BlockCodecNames()) {
    list += (list.empty() ? "" : ", ") + name;
  }
  return list;
}

}  // namespace

const archive::BlockCodec& CodecNamed(const std::string& name) {
  const archive::BlockCodec* codec = archive::FindBlockCodec(name);
  if (codec == nullptr) {
    throw UsageError("unknown codec " + name + "; this build has " + CodecList());
  }
  return *codec;
}

int Run(const std::vector<std::string>& args, Context& ctx) {
  try {
    if (args.empty()) throw UsageError("no command");
    const std::string& command = args[0];
    Arguments a(args, 1);
    if (command == "create") {
      RunCreate(a, ctx);
    } else if (command == "list") {
      List(OneFile(a, command), ctx);
    } else if (command == "extract") {
      RunExtract(a, ctx);
    } else if (command == "verify") {
      RunVerify(a, ctx);
    } else if (command == "help" || command == "--help" || command == "-h") {
      ctx.out << kUsage << CodecList() << "\n";
    } else if (command == "--version" || command == "-V") {
      ctx.out << "lumipack " << kVersion << "\n";
    } else {
      throw UsageError("unknown command " + command);
    }
    ctx.out.flush();
    if (!ctx.out) {
      ctx.err << "lumipack: cannot write the results\n";
      return kExitFailure;
    }
    return kExitOk;
  } catch (const UsageError& e) {
    ctx.err << "lumipack: " << OneLine(e.what()) << " (\"lumipack help\" shows the usage)\n";
    return kExitUsage;
  } catch (const Failure& e) {
    // A failure that names no file carries the file in its text.
    ctx.err << "lumipack: " << (e.File().empty() ? std::string() : OneLine(e.File()) + ": ")
            << (e.Member().empty() ? std::string() : OneLine(e.Member()) + ": ")
            << OneLine(e.what()) << "\n";
    return kExitFailure;
  } catch (const std::bad_alloc&) {
    ctx.err << "lumipack: out of memory\n";
    return kExitFailure;
  } catch (const std::exception& e) {
    ctx.err << "lumipack: " << OneLine(e.what()) << "\n";
    return kExitFailure;
  }
}

}  // namespace lumipack
