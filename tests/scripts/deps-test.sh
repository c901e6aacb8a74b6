#!/usr/bin/env bash
# scripts/deps.sh against package mirrors in several states, with apt-get, dpkg and dpkg-query
# replaced by stand-ins on PATH that keep their package database in a scratch folder.
#   deps-test.sh PATH/TO/deps.sh
# Each row of the table: the mirror's state, then what deps.sh must do (exit status, how often
# it updates, whether the security suite is pinned, what ends up installed, the lines it says).
set -uo pipefail
deps=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fails=0

# --- The stand-ins. MIRROR picks the state; the database is $DB/installed (name status). ---
mkdir -p "$scratch/bin"
cat >"$scratch/bin/dpkg-query" <<'STANDIN'
#!/usr/bin/env bash
pkg=${!#}
line=$(grep -m1 "^$pkg " "$DB/installed") || { echo "dpkg-query: no packages found matching $pkg" >&2; exit 1; }
printf '%s ' "${line#* }"
STANDIN
cat >"$scratch/bin/dpkg" <<'STANDIN'
#!/usr/bin/env bash
case $1 in
  --print-foreign-architectures) cat "$DB/archs" 2>/dev/null ;;
  --add-architecture) echo "$2" >>"$DB/archs" ;;
esac
STANDIN
cat >"$scratch/bin/apt-get" <<'STANDIN'
#!/usr/bin/env bash
echo "$*" >>"$DB/calls"
cmd="" pinned=0 pkgs=()
for a in "$@"; do
  case $a in
    update|install) cmd=$a ;;
    Dir::Etc::Preferences=*) pinned=1; pref=${a#*=}
      # The file must say what the pin is, and must not be apt's own.
      grep -q 'l=Debian-Security' "$pref" && grep -q 'Pin-Priority: 100' "$pref" || exit 99
      [[ $pref == /etc/apt/* ]] && exit 98 ;;
    -*|Acquire::*) ;;
    *) pkgs+=("$a") ;;
  esac
done
if [[ $cmd == update ]]; then
  n=$(grep -c '^update' "$DB/calls")
  if [[ $MIRROR == in-step ]] || { [[ $MIRROR == heals ]] && ((n > 1)); }; then exit 0; fi
  echo "E: Failed to fetch http://deb.debian.org/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size (374820 != 376004). Mirror sync in progress? [IP: 203.0.113.80 80]"
  echo "E: Some index files failed to download. They have been ignored, or old ones used instead."
  exit 100
fi
for p in "${pkgs[@]}"; do
  case $MIRROR:$p in
    no-wine32:wine32:i386) echo "E: Package 'wine32:i386' has no installation candidate"; exit 100 ;;
    no-compiler:g++-mingw-w64-i686) echo "E: Unable to locate package g++-mingw-w64-i686"; exit 100 ;;
    out-of-step:wine32:i386|no-wine32:wine*)
      if ((!pinned)); then
        echo " libwine:i386 : Depends: libgnutls30:i386 but it is not going to be installed"
        echo "E: Unable to correct problems, you have held broken packages."
        exit 100
      fi ;;
  esac
done
for p in "${pkgs[@]}"; do sed -i "/^$p /d" "$DB/installed"; echo "$p ii" >>"$DB/installed"; done
STANDIN
chmod +x "$scratch/bin"/*

native=(cmake make g++ pkg-config zlib1g-dev libdeflate-dev libgtest-dev googletest libbenchmark-dev
        clang libclang-rt-14-dev)
win=(g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-win32 libz-mingw-w64-dev
     wine wine32:i386 wine64 xvfb xauth fonts-wine fonts-liberation imagemagick osslsigncode openssl)

etc_before=$(find /etc/apt -printf '%p %s %T@\n' 2>/dev/null | sort)

# row NAME MIRROR ARGS EXIT UPDATES PINNED NOT_INSTALLED SAID...
#   UPDATES: how many times apt-get update runs; PINNED: how many install transactions carry
#   the pin; NOT_INSTALLED: packages left missing ("-" for none); SAID: patterns of lines deps.sh
#   must print (a leading ! for lines it must not print).
row() {
  local name=$1 mirror=$2 args=$3 want_exit=$4 want_updates=$5 want_pinned=$6 want_missing=$7
  shift 7
  local db=$scratch/$name
  mkdir -p "$db"
  : >"$db/calls"
  # Start: the native set half there (cmake removed with its configuration left: "rc").
  printf '%s ii\n' make g++ >"$db/installed"
  echo "cmake rc" >>"$db/installed"
  local out rc=0
  out=$(PATH="$scratch/bin:$PATH" DB=$db MIRROR=$mirror LUMI_APT_PAUSE=0 bash "$deps" $args 2>&1) || rc=$?
  local bad=()
  [[ $rc == "$want_exit" ]] || bad+=("exit $rc, want $want_exit")
  local n
  n=$(grep -c '^update' "$db/calls")
  [[ $n == "$want_updates" ]] || bad+=("$n updates, want $want_updates")
  n=$(grep '^install' "$db/calls" | grep -c 'Dir::Etc::Preferences=')
  [[ $n == "$want_pinned" ]] || bad+=("$n pinned installs, want $want_pinned")
  # The native set is never installed under the pin: the pin is for the Windows set's transaction.
  grep '^install' "$db/calls" | grep 'Dir::Etc::Preferences=' | grep -qw cmake && bad+=("native set installed under the pin")
  local missing=() p
  local all=("${native[@]}")
  [[ $args == --win32 ]] && all+=("${win[@]}")
  for p in "${all[@]}"; do grep -q "^$p ii" "$db/installed" || missing+=("$p"); done
  [[ "${missing[*]:--}" == "$want_missing" ]] || bad+=("not installed: ${missing[*]:--}, want $want_missing")
  for pat in "$@"; do
    if [[ $pat == !* ]]; then
      grep -qE -- "${pat#!}" <<<"$out" && bad+=("said /${pat#!}/")
    else
      grep -qE -- "$pat" <<<"$out" || bad+=("did not say /$pat/")
    fi
  done
  if [[ ${#bad[@]} -eq 0 ]]; then
    echo "ok   $name"
  else
    echo "FAIL $name: ${bad[*]}"
    sed 's/^/     | /' <<<"$out"
    fails=$((fails + 1))
  fi
}

row in-step          in-step     --win32 0 1 0 - \
    '!index not read' '!pinned'
row native-only      out-of-step ""      0 3 0 - \
    'index not read.*bookworm-security/main/binary-i386' '!pinned'
row heals-on-retry   heals       --win32 0 2 0 - \
    'try 1 of 3' '!index not read' '!pinned'
row out-of-step      out-of-step --win32 0 3 1 - \
    'index not read.*bookworm-security/main/binary-i386' 'unexpected size' \
    'security suite pinned below the main suite for this install only'
row no-wine32        no-wine32   --win32 0 3 15 'wine32:i386' \
    'wine32:i386 could not be installed.*win64'
row no-compiler      no-compiler --win32 1 3 0 'g++-mingw-w64-i686' \
    'not installed: g\+\+-mingw-w64-i686 \(E: Unable to locate' 'could not install: g\+\+-mingw-w64-i686$'

etc_after=$(find /etc/apt -printf '%p %s %T@\n' 2>/dev/null | sort)
if [[ "$etc_before" != "$etc_after" ]]; then
  echo "FAIL /etc/apt changed"
  fails=$((fails + 1))
fi
[[ $fails -eq 0 ]] && echo "all mirror states handled" || echo "$fails mirror states mishandled"
exit $((fails > 0))
