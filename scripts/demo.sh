#!/usr/bin/env bash
# The main job: builds the native tools and both Windows builds with the demo product packed
# into demo/LumideskSetup.exe, reads its payload back with lumipack, and runs it under Wine:
# on the user's display when there is one, otherwise under Xvfb with the GUI driver walking
# every page and saving screenshots. Installs missing Debian packages first. The files a vendor
# ships are left in build/release with their SHA256SUMS. Where Wine cannot run the installer,
# everything but the run itself is done, and the script says why the run was skipped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if ! bash scripts/deps.sh --win32; then
  echo "set-up: scripts/deps.sh could not install every package (above); going on with what is installed"
fi

# The installer runs as shipped (win32) where this machine runs 32-bit Windows programs, else as
# the x86_64 build under 64-bit Wine, else not at all.
run="" skip_reason=""
if why32=$(cmake/wine/runs-win32.sh); then
  run=win32
elif /usr/lib/wine/wine64 --version >/dev/null 2>&1; then
  run=win64
else
  skip_reason="$why32, and 64-bit Wine does not start either (package wine64)"
fi

echo "== native build =="
cmake --preset native >/dev/null
cmake --build --preset native
bin=$root/build/native
lumipack=$bin/tools/lumipack/lumipack

# The packing step of the Windows builds uses the native tools built above.
export LUMI_HOST_BUILD=$bin
echo "== Windows builds: win32 (shipped, i686) and win64 (x86_64, for 64-bit Wine) =="
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target installer demo_installer lumipack
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target installer demo_installer
if [[ -n $run ]]; then
  cmake --build --preset "$run" --target lumi-driver
fi
for p in win32 win64; do
  ls -l "build/$p/demo/LumideskSetup.exe" "build/$p/demo/Lumidesk.exe" \
        "build/$p/app/LumideskSetup-stub.exe" 2>/dev/null || true
done

echo "== the demo payload (demo/: Lumidesk.exe, its icon, help and templates) =="
setup=build/win32/demo/LumideskSetup.exe
staged=build/win32/demo/payload
out=$root/build/demo
rm -rf "$out"
mkdir -p "$out"
"$lumipack" list "$setup"
"$lumipack" verify "$setup"
"$lumipack" extract "$setup" -d "$out/extracted" --full-path
if cmp -s <(cd "$staged" && find . -type f -exec md5sum {} + | sort -k2) \
          <(cd "$out/extracted/nortavia" && find . -type f -exec md5sum {} + | sort -k2); then
  echo "extracted files match the packed ones"
else
  echo "extracted files differ from the packed ones" >&2
  exit 1
fi

echo "== release files =="
bash scripts/release.sh build/win32

if [[ -z $run ]]; then
  echo "== the installer's GUI run under Wine was skipped: $skip_reason =="
  echo "   (built, packed, listed, verified and extracted above; build/release holds the shipped files)"
  exit 0
fi
echo "== running the installer ($run build) under Wine${why32:+; 32-bit: $why32} =="
if [[ -n "${DISPLAY:-}" ]]; then
  export LUMI_WINE_DIR=$root/build/$run/wine LUMI_WINE_ARCH=$run
  cmake/wine/setup.sh "$LUMI_WINE_DIR" "$run" >/dev/null
  # shellcheck source=../cmake/wine/env.sh
  user_display=$DISPLAY
  source cmake/wine/env.sh
  # The prefix's own Xvfb is for the tests; the wizard goes to the user's display.
  export DISPLAY=$user_display
  "$LUMI_WINE" "build/$run/demo/LumideskSetup.exe"
else
  LUMI_SETUP_EXE=$root/build/$run/demo/LumideskSetup.exe bash scripts/screenshots.sh "build/$run" "$run"
fi
