#!/usr/bin/env bash
# The main job: builds everything, makes the demo payload and packs it, then shows what the
# packager reads back from it (title, catalogue, a verified walk, an extraction).
# Installs missing Debian packages first.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh

cmake --preset native >/dev/null
cmake --build --preset native

out=build/demo
rm -rf "$out"
mkdir -p "$out"
bin=build/native

echo "== making the demo payload (shaped like the shipped product) =="
"$bin/tools/synthetic/lumi-synth" --files "$out/product"
(cd "$out/product" && "../../../$bin/tools/lumipack/lumipack" create -o ../demo.lpk \
    --title 3.0.0.3 --prefix 'c:\nortavia' lumidesk)

echo "== lumipack list =="
"$bin/tools/lumipack/lumipack" list "$out/demo.lpk"
echo "== lumipack verify =="
"$bin/tools/lumipack/lumipack" verify "$out/demo.lpk"
echo "== lumipack extract =="
"$bin/tools/lumipack/lumipack" extract "$out/demo.lpk" -d "$out/extracted" --full-path
cmp -s <(cd "$out/product" && find . -type f -exec md5sum {} + | sort -k2) \
       <(cd "$out/extracted/nortavia" && find . -type f -exec md5sum {} + | sort -k2) \
  && echo "extracted files match the originals"
