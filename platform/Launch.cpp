// The portable part of the shell's "open": the replaceable sink in front of the platform's own.
#include "platform/Launch.h"

#include <utility>

namespace plat {

namespace {

ShellOpenSink& CurrentSink() {
  static ShellOpenSink sink;
  return sink;
}

}  // namespace

bool ShellOpen(WindowRef parent, const std::string& target) {
  if (const ShellOpenSink& sink = CurrentSink()) return sink(parent, target);
  return NativeShellOpen(parent, target);
}

ShellOpenSink SetShellOpenSink(ShellOpenSink sink) {
  return std::exchange(CurrentSink(), std::move(sink));
}

}  // namespace plat
