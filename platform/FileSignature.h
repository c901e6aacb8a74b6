// Checking the signature a program file carries (an Authenticode certificate table) against
// the file's bytes, by asking the system.
//
// Win32: WinVerifyTrust with the generic verify action, from wintrust.dll loaded out of the
// system folder; no user interface, no revocation checks, nothing fetched from the network (only
// what the system already holds is used). Elsewhere there is no system to ask; the stand-in
// answers kUnchecked. On both, a sink installed with SetSignatureCheckSink answers instead (tests say
// "bad digest" there).
#pragma once

#include <cstdint>
#include <string>

namespace plat {

enum class SignatureState {
  kMatches,       // present, matches the file's bytes, and the system trusts its signer
  kMismatch,      // present but does not match the file's bytes, or cannot be parsed
  kNotFound,      // the system finds no signature in the file
  kNotConfirmed,  // not found wrong, but not confirmed either: a signer the system does not
                  // trust, an expired certificate, or a check the system could not complete
  kUnchecked,     // no check was made (no system facility, or it cannot be loaded)
};

struct SignatureVerdict {
  SignatureState state = SignatureState::kUnchecked;
  std::uint32_t code = 0;  // the system's own result (an HRESULT on Windows), for diagnosis
};

// Checks the signature of the file at path. Never throws.
SignatureVerdict CheckFileSignature(const std::string& path);

// Replaces the check for the whole process (null restores the platform's own). Returns the
// previous sink. A plain function rather than a std::function, as the other sinks are: the
// installer carries this one, and its size is counted.
using SignatureCheckSink = SignatureVerdict (*)(const std::string& path);
SignatureCheckSink SetSignatureCheckSink(SignatureCheckSink sink);

// The platform's own check, whatever sink is installed (standin/ and win32/FileSignature.cpp).
SignatureVerdict NativeCheckFileSignature(const std::string& path);

}  // namespace plat
