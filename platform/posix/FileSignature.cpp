// No system on POSIX checks a Windows program's signature: nothing is checked.
#include "platform/FileSignature.h"

namespace plat {

SignatureVerdict NativeCheckFileSignature(const std::string&) { return SignatureVerdict(); }

}  // namespace plat
