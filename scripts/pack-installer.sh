#!/usr/bin/env bash
# Packs the installer: the stub exe followed by the synthetic product payload.
#   pack-installer.sh STUB OUT [HOST_BUILD_DIR]
# The packager and the payload generator run on the build machine, so a cross build uses their
# native builds, in HOST_BUILD_DIR (or LUMI_HOST_BUILD when set): a native build tree of this
# source, configured here on first use; only the two tools are built in it.
set -euo pipefail
stub=$1
out=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
host_build=${LUMI_HOST_BUILD:-${3:-$here/build/host-tools}}

if [[ ! -f "$host_build/CMakeCache.txt" ]]; then
  cmake -S "$here" -B "$host_build" -DCMAKE_BUILD_TYPE=Release -DLUMI_BUILD_TESTS=OFF \
    -DLUMI_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$host_build" -j2 --target lumipack lumi-synth >/dev/null
lumipack=$host_build/tools/lumipack/lumipack
synth=$host_build/tools/synthetic/lumi-synth

stub=$(cd "$(dirname "$stub")" && pwd)/$(basename "$stub")
out=$(mkdir -p "$(dirname "$out")" && cd "$(dirname "$out")" && pwd)/$(basename "$out")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$synth" --files "$work/files" >/dev/null
rm -f "$out"
# The members are named relative to the current folder: c:\nortavia\lumidesk\...
(cd "$work/files" && "$lumipack" create --stub "$stub" -o "$out" --title 3.0.0.3 \
    --prefix 'c:\nortavia' lumidesk >/dev/null)
chmod +x "$out"
echo "$(basename "$out"): $(stat -c %s "$out") bytes (stub $(stat -c %s "$stub") bytes)"
