#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those that are missing.
#   scripts/deps.sh          native build and tests, and the fuzz targets (clang; libFuzzer
#                            and the sanitizer runtimes are in libclang-rt-14-dev, which clang
#                            only recommends)
#   scripts/deps.sh --win32  also the MinGW cross compilers (i686 for the shipped build, x86_64
#                            for 64-bit Wine; both thread flavours, the stub links with -win32's
#                            runtime), Wine, Xvfb and fonts, and osslsigncode and openssl for the
#                            tests of signed installers
#
# A package mirror is now and then out of step with itself: one index does not match its release
# file ("Mirror sync in progress?"), and with the lists it has, apt may offer an amd64 library
# from the security suite while its i386 twin comes from the main suite, which multiarch cannot
# install together ("held broken packages"). The set-up rides that out:
#   - `apt-get update` is tried a few times; an index that still fails is named, and the install
#     goes on with the lists apt has;
#   - the native set is installed first, the Windows set second, so a failure of the second
#     leaves the first installed;
#   - a Windows set that apt cannot resolve is tried once more with the security suite pinned
#     below the main suite, for that one transaction only (a preferences file of our own passed
#     with -o Dir::Etc::Preferences; nothing is written into /etc/apt);
#   - when 32-bit Wine (wine32:i386) still cannot be had, the rest is installed and the script
#     succeeds: the machine then counts as one that runs no 32-bit programs, and the win64 suite
#     runs every Windows test. A missing compiler or Wine itself fails, naming the packages.
# Exit status: 0 when everything needed is installed (32-bit Wine aside), 1 otherwise.
# LUMI_APT_TRIES (default 3) and LUMI_APT_PAUSE (seconds, default 10) set the update retries.
set -uo pipefail

native=(cmake make g++ pkg-config zlib1g-dev libdeflate-dev libgtest-dev googletest libbenchmark-dev)
fuzz=(clang libclang-rt-14-dev)
win32=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32
       libz-mingw-w64-dev wine wine32:i386 wine64 xvfb xauth fonts-wine fonts-liberation imagemagick
       osslsigncode openssl)
# Without these the Windows build or its Wine runs cannot happen at all.
win32_essential=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32
                 libz-mingw-w64-dev wine wine64)
optional_32bit=wine32:i386

say() { echo "deps: $*"; }

# Only "ii" counts: a removed package that left its configuration behind reads "rc".
installed() { [[ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null)" == "ii"* ]]; }

missing_of() {
  local p
  for p in "$@"; do installed "$p" || echo "$p"; done
}

SUDO=""
[[ $(id -u) -ne 0 ]] && SUDO=sudo
apt_get() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get "$@"; }

want_win32=0
[[ "${1:-}" == "--win32" ]] && want_win32=1

mapfile -t missing_native < <(missing_of "${native[@]}" "${fuzz[@]}")
missing_win32=()
((want_win32)) && mapfile -t missing_win32 < <(missing_of "${win32[@]}")
[[ ${#missing_native[@]} -eq 0 && ${#missing_win32[@]} -eq 0 ]] && exit 0

if ((want_win32)) && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# --- The package lists ---
tries=${LUMI_APT_TRIES:-3}
pause=${LUMI_APT_PAUSE:-10}
update_ok=0
for ((i = 1; i <= tries; i++)); do
  if apt_get update -qq -o Acquire::Retries=3 >"$scratch/update.log" 2>&1; then
    update_ok=1
    break
  fi
  ((i < tries)) && { say "apt-get update failed (try $i of $tries); trying again in $pause s"; sleep "$pause"; }
done
if ((!update_ok)); then
  failed_lists=$(grep -oE '^E: Failed to fetch [^ ]+' "$scratch/update.log" | sed 's/^E: Failed to fetch //' | sort -u)
  if [[ -n "$failed_lists" ]]; then
    while read -r url; do say "index not read, going on with the lists apt has: $url"; done <<<"$failed_lists"
    why=$(grep -m1 -oE '(File has unexpected size|Hash Sum mismatch|Mirror sync)[^[]*' "$scratch/update.log")
    [[ -n "$why" ]] && say "the mirror said: ${why% }"
  else
    say "apt-get update failed $tries times; going on with the lists apt has:"
    tail -5 "$scratch/update.log" | sed 's/^/  /'
  fi
fi

# install LOG PACKAGE... [-- APT OPTION...]: one apt transaction, its output kept in LOG.
install() {
  local log=$1
  shift
  local pkgs=() opts=()
  while [[ $# -gt 0 && $1 != -- ]]; do pkgs+=("$1"); shift; done
  [[ $# -gt 0 ]] && { shift; opts=("$@"); }
  apt_get install -y -qq --no-install-recommends "${opts[@]}" "${pkgs[@]}" >"$log" 2>&1
}

# --- The native set ---
if [[ ${#missing_native[@]} -gt 0 ]]; then
  say "installing: ${missing_native[*]}"
  if ! install "$scratch/native.log" "${missing_native[@]}"; then
    tail -20 "$scratch/native.log" >&2
    mapfile -t still < <(missing_of "${native[@]}" "${fuzz[@]}")
    say "could not install: ${still[*]}" >&2
    exit 1
  fi
fi
((want_win32)) || exit 0
[[ ${#missing_win32[@]} -eq 0 ]] && exit 0

# --- The Windows set ---
unresolvable() { grep -qE 'held broken packages|Unmet dependencies|but it is not going to be installed' "$1"; }
pin=$scratch/security-below-main.pref
cat >"$pin" <<'EOF'
Package: *
Pin: release l=Debian-Security
Pin-Priority: 100
EOF
pin_opts=(-o "Dir::Etc::Preferences=$pin")

say "installing: ${missing_win32[*]}"
opts=()
if install "$scratch/win32.log" "${missing_win32[@]}"; then
  exit 0
elif unresolvable "$scratch/win32.log"; then
  say "apt cannot match the two architectures' versions (the mirror's suites are out of step); trying again with the security suite pinned below the main suite for this install only"
  opts=("${pin_opts[@]}")
  install "$scratch/win32.log" "${missing_win32[@]}" -- "${opts[@]}" && exit 0
fi

# One package that cannot be had fails the whole transaction: take the others one at a time.
tail -5 "$scratch/win32.log" | sed 's/^/  /'
say "installing the Windows set one package at a time"
for p in "${missing_win32[@]}"; do
  install "$scratch/one.log" "$p" -- "${opts[@]}" || say "not installed: $p ($(grep -m1 '^E:' "$scratch/one.log"))"
done
mapfile -t essential_missing < <(missing_of "${win32_essential[@]}")
if [[ ${#essential_missing[@]} -gt 0 ]]; then
  say "could not install: ${essential_missing[*]}" >&2
  exit 1
fi
if ! installed "$optional_32bit"; then
  say "$optional_32bit could not be installed: this machine counts as one that runs no 32-bit Windows programs (the win64 suite runs the Windows tests)"
fi
mapfile -t rest_missing < <(missing_of "${win32[@]}" | grep -vxF "$optional_32bit")
if [[ ${#rest_missing[@]} -gt 0 ]]; then
  say "could not install: ${rest_missing[*]}" >&2
  exit 1
fi
exit 0
