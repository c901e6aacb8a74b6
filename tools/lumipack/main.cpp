// lumipack's entry point: the arguments, the real file layer and the console.
#include <iostream>
#include <string>
#include <vector>

#include "platform/Console.h"
#include "platform/DllSearch.h"
#include "platform/Files.h"
#include "tools/lumipack/Lumipack.h"

int main(int argc, char** argv) {
  // lumipack.exe is run from build and download folders too: DLLs come from the system folder.
  plat::RestrictDllSearch();
  std::vector<std::string> args(argv + 1, argv + argc);
  lumipack::Context ctx{std::cout, std::cerr, plat::RealFileSystem(), plat::StderrIsTerminal()};
  return lumipack::Run(args, ctx);
}
