#!/usr/bin/env bash
# Runs a Windows program under the Wine test prefix of a build tree; CMake's cross-compiling
# emulator, so add_test works unchanged for Win32 test executables.
#   run.sh <build>/wine win32|win64 program.exe [arguments...]
# Exit code 77 (ctest SKIP_RETURN_CODE) when this host cannot run that Wine at all.
set -uo pipefail
LUMI_WINE_DIR=$1
LUMI_WINE_ARCH=$2
shift 2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=env.sh
source "$here/env.sh"

if [[ -f "$LUMI_WINE_DIR/unusable" ]]; then
  echo "skipped: $(cat "$LUMI_WINE_DIR/unusable")"
  exit 77
fi
if [[ ! -f "$LUMI_WINE_DIR/ready" ]]; then
  echo "the Wine prefix $WINEPREFIX is not set up (ctest runs wine_prefix_setup first;" \
       "or run cmake/wine/setup.sh $LUMI_WINE_DIR $LUMI_WINE_ARCH)" >&2
  exit 1
fi
exec "$LUMI_WINE" "$@"
