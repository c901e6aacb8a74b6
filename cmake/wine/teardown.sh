#!/usr/bin/env bash
# Ends a test run under the Wine prefix of a build tree (fixture cleanup): waits for the Wine
# server to finish, which writes the registry to disk, and stops the X server setup.sh started.
#   teardown.sh <build>/wine win32|win64
set -uo pipefail
LUMI_WINE_DIR=$1
LUMI_WINE_ARCH=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=env.sh
source "$here/env.sh"

if [[ -d "$WINEPREFIX" ]] && [[ ! -f "$LUMI_WINE_DIR/unusable" ]]; then
  # Never -k9: a killed server loses the registry it has not written yet.
  timeout 60 "$LUMI_WINESERVER" -w || echo "the Wine server did not finish within 60 s" >&2
fi
xpid_file="$LUMI_WINE_DIR/xvfb.pid"
if [[ -f "$xpid_file" ]]; then
  pid=$(cat "$xpid_file")
  # Only the X server this tree started: a stale file may name a reused process id.
  if [[ "$(cat "/proc/$pid/comm" 2>/dev/null)" == Xvfb ]]; then
    kill "$pid"
  fi
  rm -f "$xpid_file" "$LUMI_WINE_DIR/xvfb.display" "$LUMI_WINE_DIR/display"
fi
exit 0
