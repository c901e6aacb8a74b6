#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
#   scripts/deps.sh          native build and tests, and the fuzz targets (clang; libFuzzer
#                            and the sanitizer runtimes are in libclang-rt-14-dev, which clang
#                            only recommends)
#   scripts/deps.sh --win32  also the MinGW cross compilers (i686 for the shipped build, x86_64
#                            for 64-bit Wine; both thread flavours, the stub links with -win32's
#                            runtime), Wine, Xvfb and fonts, and osslsigncode and openssl for the
#                            tests of signed installers
set -euo pipefail

native=(cmake make g++ pkg-config zlib1g-dev libdeflate-dev libgtest-dev googletest libbenchmark-dev)
fuzz=(clang libclang-rt-14-dev)
win32=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32
       libz-mingw-w64-dev wine wine32:i386 wine64 xvfb xauth fonts-wine fonts-liberation imagemagick
       osslsigncode openssl)

want=("${native[@]}" "${fuzz[@]}")
if [[ "${1:-}" == "--win32" ]]; then want+=("${win32[@]}"); fi

missing=()
for p in "${want[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

SUDO=""
[[ $(id -u) -ne 0 ]] && SUDO=sudo
if [[ "${1:-}" == "--win32" ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
