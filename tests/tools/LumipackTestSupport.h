// Running lumipack in process against a scratch drive.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "support/ScratchDrive.h"
#include "tools/lumipack/Lumipack.h"

namespace lptest {

struct Result {
  int status = -1;
  std::string out;
  std::string err;
};

inline Result Lumipack(const std::vector<std::string>& args, plat::FileSystem& fs = plat::RealFileSystem()) {
  std::ostringstream out, err;
  lumipack::Context ctx{out, err, fs, false};
  Result r;
  r.status = lumipack::Run(args, ctx);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// Runs create with its inputs taken relative to base (the command line takes them relative to
// the current folder).
inline Result Create(lumipack::CreateOptions o, const std::string& base) {
  o.baseFolder = base;
  std::ostringstream out, err;
  lumipack::Context ctx{out, err, plat::RealFileSystem(), false};
  Result r;
  try {
    lumipack::Create(o, ctx);
    r.status = 0;
  } catch (const std::exception& e) {
    err << e.what();
    r.status = 1;
  }
  r.out = out.str();
  r.err = err.str();
  return r;
}

inline int Lines(const std::string& text) {
  int n = 0;
  for (char c : text) n += c == '\n';
  return n;
}

}  // namespace lptest
