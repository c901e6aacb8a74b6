#include "platform/Console.h"

#include <io.h>
#include <stdio.h>

namespace plat {

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace plat
