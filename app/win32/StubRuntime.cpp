// Keeps the shipped stub small: the C++ runtime's default terminate handler prints the type of
// an uncaught exception and for that links the symbol demangler (about 50 KB). The installer
// catches every exception in its window procedures and entry point, so reaching terminate
// is already a fault; it ends the process at once, as the default handler does after printing.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
