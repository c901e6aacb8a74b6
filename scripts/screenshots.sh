#!/usr/bin/env bash
# Walks the installer's wizard under Wine with the GUI driver and takes a screenshot of every
# page and of the folder chooser (ImageMagick's import of the X root window).
#   screenshots.sh [BUILD_DIR [win32|win64]]     (default: build/win64 win64)
# Uses the build tree's Wine prefix and X server (cmake/wine/setup.sh); with no display of its
# own that is an Xvfb. The pictures land in BUILD_DIR/screenshots and are named at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
arch=${2:-win64}
# LUMI_SETUP_EXE picks another installer of the build, such as demo/LumideskSetup.exe.
setup=${LUMI_SETUP_EXE:-$build/LumideskSetup.exe}
driver=$build/tests/e2e/driver/lumi-driver.exe
for f in "$setup" "$driver"; do
  [[ -f "$f" ]] || { echo "missing $f (build the $arch preset first)" >&2; exit 1; }
done

export LUMI_WINE_DIR=$build/wine LUMI_WINE_ARCH=$arch
"$root/cmake/wine/setup.sh" "$LUMI_WINE_DIR" "$arch" >/dev/null
if [[ -f "$LUMI_WINE_DIR/unusable" ]]; then
  echo "cannot run Wine here: $(cat "$LUMI_WINE_DIR/unusable")" >&2
  exit 1
fi
# shellcheck source=../cmake/wine/env.sh
source "$root/cmake/wine/env.sh"
# Afterwards the Wine server writes the registry and the X server setup.sh started stops.
trap '"$root/cmake/wine/teardown.sh" "$LUMI_WINE_DIR" "$arch" >/dev/null' EXIT

shots=$build/screenshots
rm -rf "$shots"
mkdir -p "$shots"
# Runs the driver; it asks for a picture with "<name>.request" and waits for "<name>.png".
drive() {
  "$LUMI_WINE" "$driver" "$@" >>"$shots/driver.log" 2>&1 &
  local pid=$! rc=0
  while kill -0 "$pid" 2>/dev/null; do
    for request in "$shots"/*.request; do
      [[ -e "$request" ]] || continue
      name=$(basename "$request" .request)
      import -display "$DISPLAY" -window root "$shots/$name.tmp.png"
      mv "$shots/$name.tmp.png" "$shots/$name.png"
      rm -f "$request"
    done
    sleep 0.1
  done
  wait "$pid" || rc=$?
  return "$rc"
}
rc=0
drive walk "$setup" "$shots" || rc=$?
# The end of an installation run, into a folder of the prefix's drive C:.
drive install "$setup" 'c:\lumi\screenshots' "$shots" || rc=$?
cat "$shots/driver.log"
ls "$shots"/*.png 2>/dev/null || true
exit "$rc"
