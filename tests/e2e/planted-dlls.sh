#!/usr/bin/env bash
# The installer started from a folder where DLLs named like system DLLs were planted, as in a
# downloads folder: each planted DLL leaves a marker when it is loaded, Wine is told to prefer
# a native DLL of those names (as Windows does for any DLL that is not a KnownDLL) and traces
# every DLL it loads. The command (the driver acting as the user) runs in that folder, so the
# folder is the current folder as well as the installer's own.
#   planted-dlls.sh FOLDER SETUP.EXE PLANTED.DLL PLANT PREFER COMMAND...
# PLANT: the names to plant, comma-separated; PREFER: those Wine is told to take natively.
# COMMAND runs the copy FOLDER/LumideskSetup.exe. Fails on any marker and on any DLL the trace
# shows loaded from FOLDER; exit code 77 (skipped) passes through.
set -uo pipefail
folder=$1 setup=$2 planted=$3 plant=$4 prefer=$5
shift 5

rm -rf "$folder"
mkdir -p "$folder"
cp "$setup" "$folder/LumideskSetup.exe"
IFS=, read -ra names <<<"$plant"
for name in "${names[@]}"; do
  cp "$planted" "$folder/$name.dll"
done

log=$folder.log
export LUMI_WINE_DLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;$prefer=n,b"
export WINEDEBUG=-all,+loaddll
rc=0
(cd "$folder" && "$@") 2>"$log" || rc=$?
# Everything but the loader's trace, each line once: the driver's own report, Wine's errors
# (a planted DLL that lacks what Wine's DLLs call reports every call).
grep -v ':trace:loaddll:' "$log" | awk '!seen[$0]++' | head -n 40 >&2
[[ $rc -eq 77 ]] && exit 77

failed=0
# Wine names the folder as drive Z: with backslashes, doubled in the trace. Only native loads
# count: for a name left to its built-in, Wine loads its own DLL but names the file it found.
windows=Z:${folder//\//\\\\}\\\\
loaded=$(grep ':trace:loaddll:' "$log" | grep -i -F "Loaded L\"$windows" | grep ': native$' |
         grep -v -i -F "$windows"'LumideskSetup.exe"')
if [[ -n $loaded ]]; then
  echo "DLLs loaded from the installer's folder:" >&2
  echo "$loaded" >&2
  failed=1
fi
shopt -s nullglob
markers=("$folder"/*.loaded)
if ((${#markers[@]})); then
  echo "planted DLLs that ran their DllMain:" >&2
  printf '  %s\n' "${markers[@]##*/}" >&2
  failed=1
fi
echo "$(grep -c ':trace:loaddll:' "$log") DLL loads traced; ${#names[@]} DLLs planted"
((rc == 0 && failed == 0))
