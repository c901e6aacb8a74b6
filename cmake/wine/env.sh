# Environment of the Wine test prefix of one build tree; sourced by the scripts beside it with
# LUMI_WINE_DIR (<build>/wine) and LUMI_WINE_ARCH (win32 or win64) set.
#
#   <build>/wine/prefix   the Wine prefix
#   <build>/wine/home     HOME while Wine runs: Wine links the user's Desktop, Documents and
#                         similar folders into HOME, and links saved there must not reach the
#                         real home folder
#   <build>/wine/display  the X display of the suite's Xvfb, when setup.sh started one
#   <build>/wine/unusable why this host cannot run this Wine at all, when it cannot
export WINEPREFIX="$LUMI_WINE_DIR/prefix"
export WINEARCH="$LUMI_WINE_ARCH"
export HOME="$LUMI_WINE_DIR/home"
# Wine's ANSI code page follows the locale: 1252 (the Italian texts) under C.UTF-8, 932 under
# ja_JP, so it is pinned.
export LANG=C.UTF-8
export LC_ALL=C.UTF-8
# No Mono/Gecko install prompts, and no .desktop or menu files for every saved shell link.
export WINEDLLOVERRIDES="${LUMI_WINE_DLLOVERRIDES:-mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEDEBUG="${WINEDEBUG:--all}"
unset WINESERVER WINELOADER

if [[ "$LUMI_WINE_ARCH" == win64 ]]; then
  LUMI_WINE=/usr/lib/wine/wine64
else
  LUMI_WINE=/usr/lib/wine/wine
fi
[[ -x "$LUMI_WINE" ]] || LUMI_WINE=$(command -v wine || true)
LUMI_WINESERVER=$(command -v wineserver || echo /usr/lib/wine/wineserver)

if [[ -f "$LUMI_WINE_DIR/display" ]]; then
  DISPLAY=$(cat "$LUMI_WINE_DIR/display")
  export DISPLAY
fi
