#!/usr/bin/env bash
# Builds the shipped programs a second time and compares them byte for byte with those of a
# finished win32 build:
#   check-reproducible.sh [WIN32_BUILD_DIR]        (default build/win32)
# The second build starts from a copy of the sources as they are now, in another folder at
# another depth, later than the first and under another time zone and locale; anything in the
# exes or the packed payloads that depends on the folder, the clock or the machine's settings
# shows up as a difference. It uses the native packager of LUMI_HOST_BUILD (default
# build/native, when built) and needs no Wine. The last line says "reproducible" or
# "NOT reproducible"; the exit status is 1 for the latter. A failed check keeps the second build.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd -P)
started=$SECONDS

shipped=(app/LumideskSetup-stub.exe LumideskSetup.exe demo/LumideskSetup.exe demo/Lumidesk.exe
         tools/lumipack/lumipack.exe)
reference=$(cd "${1:-build/win32}" && pwd -P)
for f in "${shipped[@]}"; do
  if [[ ! -f "$reference/$f" ]]; then
    echo "NOT reproducible: $reference has no $f to compare (build the win32 preset first)"
    exit 1
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/lumi-reproducible.XXXXXX")
keep=0
trap '[[ $keep == 1 ]] || rm -rf "$work"' EXIT
sources=$work/second/build-of-the-same-sources
mkdir -p "$sources"
if [[ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" == "$root" ]]; then
  # Tracked and new files, without build trees or other ignored files; a .git file lends the
  # copy the repository, so its configure finds the commit (and its time) as the first did.
  git -C "$root" ls-files -z --cached --others --exclude-standard |
    tar -C "$root" --null --ignore-failed-read -T - -cf - | tar -C "$sources" -xf -
  echo "gitdir: $(git -C "$root" rev-parse --absolute-git-dir)" >"$sources/.git"
else
  # No git: the copy keeps the files' last-write times, which the time stamp falls back on.
  tar -C "$root" --exclude=./build -cf - . | tar -C "$sources" -xf -
fi

if [[ -z "${LUMI_HOST_BUILD:-}" && -f "$root/build/native/CMakeCache.txt" ]]; then
  export LUMI_HOST_BUILD=$root/build/native
fi
echo "reproducibility: building the shipped programs again in $sources"
second=$sources/build/win32
if ! (cd "$sources" &&
      export TZ='XST-9:30XDT,M10.1.0,M4.1.0/3' LC_ALL=C &&
      cmake --preset win32 -DLUMI_BUILD_TESTS=OFF &&
      cmake --build --preset win32 --target installer demo_installer lumipack) \
      >"$work/build.log" 2>&1; then
  tail -20 "$work/build.log"
  keep=1
  echo "NOT reproducible: the second build failed ($((SECONDS - started)) s; log $work/build.log)"
  exit 1
fi

objdump=objdump
command -v i686-w64-mingw32-objdump >/dev/null && objdump=i686-w64-mingw32-objdump
differ=0
for f in "${shipped[@]}"; do
  if cmp -s "$reference/$f" "$second/$f"; then
    echo "  same       $(sha256sum <"$reference/$f" | cut -c1-64)  $f"
  else
    differ=$((differ + 1))
    echo "  DIFFERENT  $f: $(cmp "$reference/$f" "$second/$f" 2>&1 | head -1 |
                               sed -E 's/^.* differ: (byte [0-9]+).*/first at \1/')"
    # Where in the image: the headers, sections and tables that differ (the file names aside).
    diff <("$objdump" -x "$reference/$f" 2>&1 | tail -n +4) \
         <("$objdump" -x "$second/$f" 2>&1 | tail -n +4) | head -20 | sed 's/^/      /' || true
  fi
done
if [[ $differ -ne 0 ]]; then
  keep=1
  echo "NOT reproducible: $differ of ${#shipped[@]} shipped files differ from a second build" \
       "($((SECONDS - started)) s; it is kept in $second)"
  exit 1
fi
echo "reproducible: the ${#shipped[@]} shipped files of a second build in another folder are" \
     "byte-identical ($((SECONDS - started)) s)"
