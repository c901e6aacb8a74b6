// Stand-in where there is no Windows: no system checks a Windows program's signature, so nothing
// is checked.
#include "platform/FileSignature.h"

namespace plat {

SignatureVerdict NativeCheckFileSignature(const std::string&) { return SignatureVerdict(); }

}  // namespace plat
