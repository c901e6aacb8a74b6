#!/usr/bin/env bash
# Runs each fuzz target for a given time and prints, per target, its executions and crashes.
#   bench/fuzz/run.sh [seconds per target] [target...]
# Default: 60 seconds each for fuzz_catalogue, fuzz_restore and fuzz_volumes. Builds the `fuzz`
# preset first and makes the seed corpora with the archive writer. Each target keeps a growing
# corpus in build/fuzz/corpus/<target>; crash inputs go to build/fuzz/artifacts/<target>/, and
# every one of them belongs in a regression test of the normal suites.
set -uo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
shift || true
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(fuzz_catalogue fuzz_restore fuzz_volumes)

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz >/dev/null || exit 1

build=build/fuzz
# The restore targets write and delete files for every input: memory is faster than disk.
if [[ -z "${TMPDIR:-}" && -d /dev/shm && -w /dev/shm ]]; then export TMPDIR=/dev/shm; fi
seeds=$build/seeds
rm -rf "$seeds"
"$build/bench/fuzz/lumi-fuzz-seeds" "$seeds" || exit 1

declare -A corpus_of=([fuzz_catalogue]=catalogue [fuzz_restore]=restore [fuzz_volumes]=volumes)
status=0
total_execs=0
total_crashes=0
summary=()
for t in "${targets[@]}"; do
  corpus=$build/corpus/$t
  artifacts=$build/artifacts/$t
  mkdir -p "$corpus" "$artifacts"
  log=$build/$t.log
  before=$(find "$artifacts" -type f | wc -l)
  echo "=== $t: ${seconds} s ==="
  "$build/bench/fuzz/$t" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts/" \
      "$corpus" "$seeds/${corpus_of[$t]}" >"$log" 2>&1
  rc=$?
  execs=$(grep -E '^stat::number_of_executed_units:' "$log" | awk '{print $2}' | tail -1)
  rate=$(grep -E '^stat::average_exec_per_sec:' "$log" | awk '{print $2}' | tail -1)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | awk '{print $2}')
  after=$(find "$artifacts" -type f | wc -l)
  crashes=$((after - before))
  [[ $rc -ne 0 && $crashes -eq 0 ]] && crashes=1  # ended by a finding without an artifact
  [[ $crashes -ne 0 ]] && status=1
  execs=${execs:-0}
  total_execs=$((total_execs + execs))
  total_crashes=$((total_crashes + crashes))
  line="$t: ${seconds} s, ${execs} executions (${rate:-0}/s), coverage ${cov:-?} edges, corpus $(find "$corpus" -type f | wc -l) inputs, ${crashes} crashes"
  echo "$line"
  summary+=("$line")
  [[ $crashes -ne 0 ]] && tail -40 "$log"
done
echo "=== summary ==="
printf '%s\n' "${summary[@]}"
echo "all targets: $((seconds * ${#targets[@]})) s, $total_execs executions, $total_crashes crashes"
exit $status
