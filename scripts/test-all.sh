#!/usr/bin/env bash
# Builds and runs every test suite: the native presets (plain and with AddressSanitizer +
# UndefinedBehaviorSanitizer) and the Windows builds under Wine: win32 (the shipped 32-bit
# build) and win64 (the same sources for 64-bit Wine, which runs where the kernel cannot run
# 32-bit programs and win32's Wine tests are skipped), and the fuzz preset (clang libFuzzer
# targets, each run for a few seconds). Installs missing Debian packages first.
# The last line sums up the test counts of all suites.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh --win32 || exit 1

presets=(native native-asan win32 win64 fuzz)
passed=0
failed=0
skipped=0
status=0
# The Windows builds pack their installer with the native packager built by the first preset.
export LUMI_HOST_BUILD=$PWD/build/native
for preset in "${presets[@]}"; do
  echo "=== $preset ==="
  started=$SECONDS
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset"; then
    echo "build of $preset failed"
    status=1
    failed=$((failed + 1))
    continue
  fi
  echo "$preset: build took $((SECONDS - started)) s"
  log=$(mktemp)
  started=$SECONDS
  ctest --preset "$preset" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  echo "$preset: tests took $((SECONDS - started)) s"
  [[ $rc -ne 0 ]] && status=1
  # ctest counts skipped tests among the passed ones; they are listed as "N - name (Skipped)".
  s=$(grep -cE '^[[:space:]]*[0-9]+ - .*\(Skipped\)$' "$log")
  # "NN% tests passed, F tests failed out of T"
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [[ -n "$line" ]]; then
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f - s))
    failed=$((failed + f))
    skipped=$((skipped + s))
  else
    failed=$((failed + 1))
    status=1
  fi
  rm -f "$log"
done

echo "$passed passed, $failed failed, $skipped skipped"
exit $status
