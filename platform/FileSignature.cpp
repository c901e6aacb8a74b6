// The portable part of the signature check: the replaceable sink in front of the platform's own.
#include "platform/FileSignature.h"

#include <utility>

namespace plat {

namespace {

SignatureCheckSink sink = nullptr;

}  // namespace

SignatureVerdict CheckFileSignature(const std::string& path) {
  return sink ? sink(path) : NativeCheckFileSignature(path);
}

SignatureCheckSink SetSignatureCheckSink(SignatureCheckSink replacement) {
  return std::exchange(sink, replacement);
}

}  // namespace plat
