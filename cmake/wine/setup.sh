#!/usr/bin/env bash
# Makes the Wine test prefix of a build tree ready and starts the suite's X server; ctest runs
# it first (fixture setup).
#   setup.sh <build>/wine win32|win64
# A new prefix takes 10 to 15 s and is kept for later runs (stamp file "ready"). When this host
# cannot run 32-bit Windows programs (runs-win32.sh says why), a win32 prefix is not made: the
# reason goes to <build>/wine/unusable, setup succeeds, and run.sh then skips.
set -euo pipefail
LUMI_WINE_DIR=$1
LUMI_WINE_ARCH=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mkdir -p "$LUMI_WINE_DIR"
LUMI_WINE_DIR=$(cd "$LUMI_WINE_DIR" && pwd)
rm -f "$LUMI_WINE_DIR/display"
# shellcheck source=env.sh
source "$here/env.sh"
mkdir -p "$HOME"
rm -f "$LUMI_WINE_DIR/unusable"

# --- Can this host run this Wine? ---
if [[ -z "$LUMI_WINE" ]]; then
  echo "Wine is not installed (scripts/deps.sh --win32 installs it)" >&2
  exit 1
fi
if [[ "$LUMI_WINE_ARCH" == win32 ]] && ! reason=$("$here/runs-win32.sh"); then
  [[ "$(uname -m)" == x86_64 ]] && reason+="; the win64 preset runs the same tests under 64-bit Wine"
  echo "$reason" >"$LUMI_WINE_DIR/unusable"
  echo "Wine tests will be skipped: $reason"
  exit 0
fi
probe_rc=0
probe_out=$("$LUMI_WINE" --version 2>&1) || probe_rc=$?
if [[ $probe_rc -ne 0 ]]; then
  echo "Wine does not start: $probe_out" >&2
  exit 1
fi
echo "$probe_out ($LUMI_WINE_ARCH)"

# --- The X server: Wine's user32 needs one for any window, message boxes included. ---
xpid_file="$LUMI_WINE_DIR/xvfb.pid"
if [[ -f "$xpid_file" ]] && [[ "$(cat "/proc/$(cat "$xpid_file")/comm" 2>/dev/null)" == Xvfb ]] &&
   [[ -f "$LUMI_WINE_DIR/xvfb.display" ]]; then
  cp "$LUMI_WINE_DIR/xvfb.display" "$LUMI_WINE_DIR/display"
else
  if ! command -v Xvfb >/dev/null; then
    echo "Xvfb is not installed (scripts/deps.sh --win32 installs it)" >&2
    exit 1
  fi
  rm -f "$xpid_file" "$LUMI_WINE_DIR/xvfb.display"
  # -displayfd: the server picks a free display number itself and writes it to fd 3, so two
  # build trees never race for one. Its own output goes to a log, not to ctest's pipe.
  setsid Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
      3>"$LUMI_WINE_DIR/xvfb.number" </dev/null >"$LUMI_WINE_DIR/xvfb.log" 2>&1 &
  echo $! >"$xpid_file"
  for _ in $(seq 100); do
    [[ -s "$LUMI_WINE_DIR/xvfb.number" ]] && break
    sleep 0.05
  done
  if [[ ! -s "$LUMI_WINE_DIR/xvfb.number" ]]; then
    echo "Xvfb did not start:" >&2
    cat "$LUMI_WINE_DIR/xvfb.log" >&2
    exit 1
  fi
  echo ":$(tr -d '\n' <"$LUMI_WINE_DIR/xvfb.number")" >"$LUMI_WINE_DIR/xvfb.display"
  cp "$LUMI_WINE_DIR/xvfb.display" "$LUMI_WINE_DIR/display"
fi
DISPLAY=$(cat "$LUMI_WINE_DIR/display")
export DISPLAY
echo "X display $DISPLAY"

# --- The prefix ---
if [[ -f "$LUMI_WINE_DIR/ready" ]] && [[ -d "$WINEPREFIX/drive_c" ]]; then
  echo "Wine prefix $WINEPREFIX is ready"
  exit 0
fi
rm -f "$LUMI_WINE_DIR/ready"
rm -rf "$WINEPREFIX"
start=$(date +%s)
"$LUMI_WINE" wineboot -i >"$LUMI_WINE_DIR/wineboot.log" 2>&1
"$LUMI_WINESERVER" -w

# Wine links the user's Desktop, Documents and the like to HOME; real folders keep what the
# tests save there inside the prefix.
for link in "$WINEPREFIX"/drive_c/users/*/*; do
  if [[ -L "$link" ]]; then
    rm "$link"
    mkdir -p "$link"
  fi
done

# Debian's Wine does not put its fonts into a new prefix; without them dialogs render with
# missing glyphs and caption buttons.
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

# Without a window manager Wine waits 2 s on every hide or destroy of a top-level window;
# unmanaged windows do not wait.
"$LUMI_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
"$LUMI_WINESERVER" -w
touch "$LUMI_WINE_DIR/ready"
echo "Wine prefix $WINEPREFIX created in $(($(date +%s) - start)) s"
