// Running lumipack in process, as its own tests and the damage tests do: the command line
// against a file layer, or create with its inputs below a base folder.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "support/ScratchDrive.h"
#include "tools/lumipack/Lumipack.h"

namespace testsupport {

struct LumipackResult {
  int status = -1;
  std::string out;
  std::string err;
};

inline LumipackResult Lumipack(const std::vector<std::string>& args, plat::FileSystem& fs = plat::RealFileSystem()) {
  std::ostringstream out, err;
  lumipack::Context ctx{out, err, fs, false};
  LumipackResult r;
  r.status = lumipack::Run(args, ctx);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// Runs create with its inputs taken relative to base (the command line takes them relative to
// the current folder).
inline LumipackResult LumipackCreate(lumipack::CreateOptions o, const std::string& base) {
  o.baseFolder = base;
  std::ostringstream out, err;
  lumipack::Context ctx{out, err, plat::RealFileSystem(), false};
  LumipackResult r;
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

}  // namespace testsupport
