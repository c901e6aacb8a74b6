#!/usr/bin/env bash
# Packs the installer: the stub exe followed by a payload.
#   pack-installer.sh STUB OUT [HOST_BUILD_DIR]
#       the synthetic payload shaped like the shipped product (tools/synthetic)
#   pack-installer.sh --demo PROGRAM STAGE STUB OUT [HOST_BUILD_DIR]
#       the demo product: PROGRAM (the built Lumidesk.exe) and the files of demo/, listed with
#       their dates in demo/payload.txt; they are staged below STAGE with those dates first
# The packager and the payload generator run on the build machine, so a cross build uses their
# native builds, in HOST_BUILD_DIR (or LUMI_HOST_BUILD when set): a native build tree of this
# source, configured here on first use; only the two tools are built in it.
set -euo pipefail
demo_program=
if [[ "${1:-}" == --demo ]]; then
  demo_program=$2
  stage=$3
  shift 3
fi
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
rm -f "$out"
# The members are named relative to the current folder: c:\nortavia\lumidesk\...
pack() {
  "$lumipack" create --stub "$stub" -o "$out" --title 3.0.0.3 --prefix 'c:\nortavia' "$@" \
    >/dev/null
}

if [[ -n "$demo_program" ]]; then
  rm -rf "$stage"
  mkdir -p "$stage/lumidesk"
  stage=$(cd "$stage" && pwd)
  members=()
  while IFS='|' read -r file when _; do
    [[ -z "$file" || "$file" == \#* ]] && continue
    if [[ "$file" == Lumidesk.exe ]]; then
      source_file=$demo_program
    else
      source_file=$here/demo/files/$file
    fi
    mkdir -p "$(dirname "$stage/lumidesk/$file")"
    cp "$source_file" "$stage/lumidesk/$file"
    # The packed date is the file's local last-write time; the tests expect exactly this one.
    touch -d "$when" "$stage/lumidesk/$file"
    members+=("lumidesk/$file")
  done <"$here/demo/payload.txt"
  # Listed one by one, so the members keep the list's order.
  (cd "$stage" && pack "${members[@]}")
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  "$synth" --files "$work/files" >/dev/null
  (cd "$work/files" && pack lumidesk)
fi
chmod +x "$out"
echo "$(basename "$out"): $(stat -c %s "$out") bytes (stub $(stat -c %s "$stub") bytes)"
