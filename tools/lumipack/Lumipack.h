// lumipack: packs files into an archive or an installer, and lists, extracts and verifies
// archives and installers. The command line's logic lives here so that tests run it in
// process; main.cpp only hands over the arguments and the real console.
//
//   lumipack create -o OUT [-C DIR] [--stub EXE] [--title TEXT] [--prefix WINPATH] [--level 0-9]
//                   [--volume-size BYTES] [--threads N] [--codec NAME] INPUT...
//   lumipack list FILE
//   lumipack extract FILE [-d DIR] [--full-path] [--codec NAME]
//   lumipack verify FILE [--codec NAME]
//   lumipack help | --version
//
// --codec picks the block codec by name (zlib, the default and the installer's own; libdeflate
// where the build has it). Archives read the same with every codec; a packer's output differs
// by codec, so create keeps zlib unless told otherwise.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "archive/BlockCodec.h"
#include "platform/Files.h"

namespace lumipack {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // a damaged archive, a missing file, a failed write
constexpr int kExitUsage = 2;    // a command line that cannot be run as given

// What --version prints; lumipack's own version, apart from the installer's product version.
constexpr char kVersion[] = "1.0.0";

constexpr char kDefaultCodec[] = "zlib";
constexpr int kMaxThreads = 64;

struct Context {
  std::ostream& out;   // results: listings, summaries
  std::ostream& err;   // the one-line failure message, the progress bar
  plat::FileSystem& fs;
  bool progress = false;  // draw a progress bar on err (only when it is a terminal)
};

// The block codec of that name; throws UsageError naming the codecs this build has.
const archive::BlockCodec& CodecNamed(const std::string& name);

// Runs one command; args exclude the program name. Never throws.
int Run(const std::vector<std::string>& args, Context& ctx);

struct CreateOptions {
  std::string out;
  std::string stub;
  std::string title;
  std::string prefix = "c:";
  int level = 1;
  std::int64_t volumeSize = 0;  // 0: one file
  int threads = 1;               // threads deflating blocks; the output is the same for any number
  std::string codec = kDefaultCodec;
  std::vector<std::string> inputs;
  // The folder the inputs are relative to (-C), so that a tree elsewhere is packed without
  // changing folders and its members are named as if packed from there; empty: the current
  // folder. OUT and the stub stay relative to the current folder.
  std::string baseFolder;
};

struct ExtractOptions {
  std::string file;
  std::string dir = ".";
  bool fullPath = false;
  std::string codec = kDefaultCodec;
};

// The commands. Each writes its results to ctx.out and throws Failure or UsageError.
void Create(const CreateOptions& options, Context& ctx);
void List(const std::string& file, Context& ctx);
void Extract(const ExtractOptions& options, Context& ctx);
void Verify(const std::string& file, Context& ctx, const std::string& codec = kDefaultCodec);

}  // namespace lumipack
