# shellcheck shell=bash
# Shared by the benchmark scripts: folders, building the native tools, timing, statistics and
# the summary rows that bench/run gathers into one table.
#
# Environment (all optional):
#   LUMI_BENCH_BUILD    native build tree of the tools (default build/bench-native; configured
#                       here like the native preset, RelWithDebInfo, on first use)
#   LUMI_BENCH_WORK     scratch folder: corpus, archives, outputs (default /tmp/lumi-bench)
#   LUMI_BENCH_RESULTS  file that receives one summary row per figure (bench/run sets it)
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(cd "$bench_dir/.." && pwd)
: "${LUMI_BENCH_BUILD:=$repo/build/bench-native}"
: "${LUMI_BENCH_WORK:=/tmp/lumi-bench}"
: "${LUMI_BENCH_RESULTS:=}"
mkdir -p "$LUMI_BENCH_WORK"
LUMI_BENCH_WORK=$(cd "$LUMI_BENCH_WORK" && pwd)

lumipack=$LUMI_BENCH_BUILD/tools/lumipack/lumipack
synth=$LUMI_BENCH_BUILD/tools/synthetic/lumi-synth
corpus_tool=$LUMI_BENCH_BUILD/bench/tools/lumi-corpus
limit_tool=$LUMI_BENCH_BUILD/bench/tools/lumi-restore-limit

say() { echo "$*" >&2; }
die() { echo "${0##*/}: $*" >&2; exit 1; }
have() { command -v "$1" >/dev/null 2>&1; }

# Builds the native tools the scripts run (quietly; the build log is kept on failure).
# Once per bench/run: the scripts it starts find LUMI_BENCH_BUILT set.
bench_build_tools() {
  [[ -n ${LUMI_BENCH_BUILT:-} ]] && return 0
  local log=$LUMI_BENCH_WORK/build.log
  if [[ ! -f $LUMI_BENCH_BUILD/CMakeCache.txt ]]; then
    cmake -S "$repo" -B "$LUMI_BENCH_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DLUMI_BUILD_TESTS=OFF >"$log" 2>&1 || { cat "$log" >&2; die "cannot configure $LUMI_BENCH_BUILD"; }
  fi
  cmake --build "$LUMI_BENCH_BUILD" -j2 --target lumipack lumi-synth lumi-corpus lumi-restore-limit \
    >"$log" 2>&1 || { tail -30 "$log" >&2; die "cannot build the tools in $LUMI_BENCH_BUILD"; }
  export LUMI_BENCH_BUILT=1
}

# Whether lumipack's usage mentions an option (options other engineers add over time).
lumipack_has() { "$lumipack" help 2>/dev/null | grep -q -- "$1"; }

# Installs missing peers as deps.sh installs build packages: only when root, only if missing,
# and not when LUMI_BENCH_NO_INSTALL is set (the quick ctest run); a missing peer is then left
# out of the figures.
bench_peers() {
  [[ -n ${LUMI_BENCH_NO_INSTALL:-} ]] && return 0
  local -A pkg=([zip]=zip [unzip]=unzip [7z]=p7zip-full [pigz]=pigz [zstd]=zstd [/usr/bin/time]=time)
  local missing=() t
  for t in "${!pkg[@]}"; do have "$t" || missing+=("${pkg[$t]}"); done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  if [[ $(id -u) -eq 0 ]] && have apt-get; then
    say "installing ${missing[*]}"
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"; } >/dev/null 2>&1 || say "could not install ${missing[*]}"
  fi
}

# Runs a command with its output discarded; the wall time in seconds goes to the global T and
# the processor time (user + system, its waited-for children included) to C, which a busy
# machine disturbs less than wall time. Returns the command's status.
T=0
C=0
timed() {
  local start end rc=0 cpu=$LUMI_BENCH_WORK/.cpu
  start=$EPOCHREALTIME
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f '%U %S' -o "$cpu" "$@" >/dev/null 2>&1 || rc=$?
  else
    echo "0 0" >"$cpu"
    "$@" >/dev/null 2>&1 || rc=$?
  fi
  end=$EPOCHREALTIME
  T=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')
  C=$(awk '/^[0-9.]+ [0-9.]+$/ { c = $1 + $2 } END { printf "%.2f", c }' "$cpu")
  return $rc
}

# median, min and max of the numbers given: "MEDIAN MIN MAX".
stats() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.4f %.4f %.4f\n", m, v[1], v[NR] }'
}

# Arithmetic on decimals.
calc() { awk "BEGIN { printf \"%.${2:-2}f\", $1 }"; }
mbps() { calc "$1 / 1000000 / $2" 1; }  # bytes, seconds

# Bytes in the regular files below a folder.
tree_bytes() { find "$1" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%d\n", s }'; }

# "met" when value OP goal holds (OP: ge, le, lt, eq), otherwise "not met".
verdict() {
  local value=$1 op=$2 goal=$3
  case $op in
    ge) awk -v v="$value" -v g="$goal" 'BEGIN { exit !(v >= g) }' ;;
    le) awk -v v="$value" -v g="$goal" 'BEGIN { exit !(v <= g) }' ;;
    lt) awk -v v="$value" -v g="$goal" 'BEGIN { exit !(v < g) }' ;;
    eq) [[ $value == "$goal" ]] ;;
  esac && echo "met" || echo "not met"
}

# One row of the summary table: what, ours, peer or limit, ratio, goal, met.
row() {
  local line
  line=$(printf '%s\t%s\t%s\t%s\t%s\t%s' "$@")
  [[ -n $LUMI_BENCH_RESULTS ]] && printf '%s\n' "$line" >>"$LUMI_BENCH_RESULTS"
  printf '  %s\n' "${line//$'\t'/ | }" >&2
}

# The rows of a results file as Markdown table rows; a "|" inside a cell is escaped. awk, not
# read: read merges the empty cells between tabs.
markdown_rows() {
  awk -F'\t' '{
    line = "|"
    for (i = 1; i <= 6; i++) { cell = $i; gsub(/\|/, "\\|", cell); line = line " " cell " |" }
    print line }' "$1"
}

# Flushes written data so one measurement's write-back does not land in the next one's time
# (not in quick runs, whose figures mean little: sync can take long on a busy machine).
settle() { [[ -n ${LUMI_BENCH_NO_SYNC:-} ]] || sync; }
