#!/usr/bin/env bash
# Gathers the files a vendor ships from a finished win32 build into build/release, with their
# SHA256SUMS and a BUILDINFO naming what a rebuild has to match:
#   release.sh [WIN32_BUILD_DIR]        (default build/win32)
# The shipped build is the i686 one: the demo installer, the stub that lumipack packs other
# payloads behind, and the packager for Windows. The builds are reproducible, so the sums can
# be compared with those of anyone's build of the same commit (README: Checking a download).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/win32}
release=build/release

rm -rf "$release"
mkdir -p "$release"
cp "$build/demo/LumideskSetup.exe" "$build/app/LumideskSetup-stub.exe" \
   "$build/tools/lumipack/lumipack.exe" "$release/"
(cd "$release" && sha256sum LumideskSetup.exe LumideskSetup-stub.exe lumipack.exe >SHA256SUMS)
{
  echo "commit $(git rev-parse HEAD 2>/dev/null || echo unknown)$(
    git diff --quiet HEAD 2>/dev/null || echo ' (with uncommitted changes)')"
  echo "SOURCE_DATE_EPOCH $(sed -n 's/^LUMI_SOURCE_DATE_EPOCH:INTERNAL=//p' "$build/CMakeCache.txt")"
  # The toolchain and the zlib of the native packager, which compresses the payload.
  dpkg-query -W -f '${binary:Package} ${Version}\n' g++-mingw-w64-i686-posix \
    g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev libz-mingw-w64-dev \
    "zlib1g:$(dpkg --print-architecture)" cmake 2>/dev/null || true
} >"$release/BUILDINFO"
echo "$release:"
cat "$release/SHA256SUMS"
