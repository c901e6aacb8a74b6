#!/usr/bin/env bash
# Tests of the benchmark scripts' shared helpers: the statistics every figure rests on, the
# goal verdicts, byte counts of output trees, and summary rows that keep their empty cells.
# Prints "N passed, N failed"; exit status 1 on any failure.
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LUMI_BENCH_WORK=$work LUMI_BENCH_RESULTS=$work/rows.tsv
# shellcheck source=../lib.sh
source "$(dirname "$0")/../lib.sh"
set +e

passed=0
failed=0
check() {  # what, expected, actual
  if [[ "$2" == "$3" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $1: expected \"$2\", got \"$3\""
  fi
}

# Medians of odd and even counts, in any order, with min and max.
check "median of one" "2.0000 2.0000 2.0000" "$(stats 2)"
check "median of three, unsorted" "2.0000 1.0000 10.0000" "$(stats 10 1 2)"
check "median of four is the mean of the middle two" "2.5000 1.0000 9.0000" "$(stats 9 2 3 1)"
check "numeric, not lexical order" "9.0000 8.0000 10.0000" "$(stats 10 9 8)"
check "decimals" "0.1250 0.1000 0.9000" "$(stats 0.9 0.125 0.1)"

# Arithmetic and MB/s (10^6 bytes).
check "ratio to two places" "1.50" "$(calc "3 / 2")"
check "places asked for" "0.333" "$(calc "1 / 3" 3)"
check "MB/s" "100.0" "$(mbps 200000000 2)"

# Verdicts at and around the goal.
check "ge at the goal" "met" "$(verdict 0.90 ge 0.90)"
check "ge below" "not met" "$(verdict 0.89 ge 0.90)"
check "le at the goal" "met" "$(verdict 1.30 le 1.30)"
check "le above" "not met" "$(verdict 1.31 le 1.30)"
check "lt at the bound" "not met" "$(verdict 16384 lt 16384)"
check "lt below" "met" "$(verdict 16383 lt 16384)"
check "eq" "met" "$(verdict yes eq yes)"
check "eq differs" "not met" "$(verdict no eq yes)"

# Output trees: only regular files count, at every depth.
mkdir -p "$work/tree/a/b"
head -c 1000 /dev/zero >"$work/tree/one"
head -c 234 /dev/zero >"$work/tree/a/b/two"
: >"$work/tree/a/empty"
check "bytes below a folder" "1234" "$(tree_bytes "$work/tree")"
check "an empty folder" "0" "$(mkdir -p "$work/none" && tree_bytes "$work/none")"

# A timed command's status is its own; T holds seconds.
timed true
check "timed success" "0" "$?"
timed false
check "timed failure" "1" "$?"
check "T is a number" "yes" "$([[ $T =~ ^[0-9]+\.[0-9]+$ ]] && echo yes)"

# Rows keep six tab-separated cells, empty ones included, and bench/run's table shows them.
row "what" "ours" "" "" "goal" "met" 2>/dev/null
row "a | b" "x" "y" "1.00x" "" "" 2>/dev/null
check "six cells" "6 6" "$(awk -F'\t' '{ printf "%s%s", sep, NF; sep = " " }' "$LUMI_BENCH_RESULTS")"
check "empty cells stay" "what|ours|||goal|met" "$(head -1 "$LUMI_BENCH_RESULTS" | tr '\t' '|')"

check "Markdown rows, pipes escaped" "| what | ours |  |  | goal | met |
| a \| b | x | y | 1.00x |  |  |" "$(markdown_rows "$LUMI_BENCH_RESULTS")"

echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
