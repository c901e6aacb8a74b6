#!/usr/bin/env bash
# Builds and runs every test suite: the native presets (plain and with AddressSanitizer +
# UndefinedBehaviorSanitizer). Installs missing Debian packages first. The last line sums up
# the test counts of all suites.
set -uo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh || exit 1

presets=(native native-asan)
passed=0
failed=0
status=0
for preset in "${presets[@]}"; do
  echo "=== $preset ==="
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset"; then
    echo "build of $preset failed"
    status=1
    failed=$((failed + 1))
    continue
  fi
  log=$(mktemp)
  ctest --preset "$preset" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  [[ $rc -ne 0 ]] && status=1
  # "NN% tests passed, F tests failed out of T"
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [[ -n "$line" ]]; then
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed=$((passed + t - f))
    failed=$((failed + f))
  else
    failed=$((failed + 1))
    status=1
  fi
  rm -f "$log"
done

echo "$passed passed, $failed failed"
exit $status
