#!/usr/bin/env bash
# Builds and runs every test suite: the native presets (plain and with AddressSanitizer +
# UndefinedBehaviorSanitizer) and the Windows builds under Wine: win32 (the shipped 32-bit
# build) and win64 (the same sources for 64-bit Wine, which runs where the kernel cannot run
# 32-bit programs and win32's Wine tests are skipped), and the fuzz preset (clang libFuzzer
# targets, each run for a few seconds). After the win32 preset, scripts/check-reproducible.sh
# builds the shipped programs a second time elsewhere and compares them with win32's byte for
# byte (it needs no Wine, so it runs on every machine); it counts as one test.
# Installs missing Debian packages first. The last line sums up the test counts of all suites.
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
# Where the kernel runs no 32-bit programs (the 32-bit Wine loader fails with "Exec format
# error", exit 126), every Win32 test of the win32 preset could only be skipped: it then builds
# the shipped programs alone and runs the checks that need no Wine (the stub's size). The win64
# preset builds and runs every Windows test from the same sources. LUMI_WIN32_FULL=1 builds all.
build_args=()
test_args=()
win32_products_only() {
  [[ "${LUMI_WIN32_FULL:-0}" != 1 ]] || return 1
  local rc=0
  /usr/lib/wine/wine --version >/dev/null 2>&1 || rc=$?
  [[ $rc -eq 126 ]]
}
for preset in "${presets[@]}"; do
  echo "=== $preset ==="
  started=$SECONDS
  build_args=()
  test_args=()
  if [[ $preset == win32 ]] && win32_products_only; then
    echo "win32: this kernel runs no 32-bit programs: building the shipped programs only" \
         "(the win64 suite runs the Windows tests)"
    build_args=(--target installer demo_installer lumipack lumidesk_setup)
    test_args=(-R '^stub_|^lumipack_imports$')
  fi
  if ! cmake --preset "$preset" >/dev/null || ! cmake --build --preset "$preset" "${build_args[@]}"; then
    echo "build of $preset failed"
    status=1
    failed=$((failed + 1))
    continue
  fi
  echo "$preset: build took $((SECONDS - started)) s"
  log=$(mktemp)
  started=$SECONDS
  ctest --preset "$preset" "${test_args[@]}" 2>&1 | tee "$log"
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
  if [[ $preset == win32 ]]; then
    if bash scripts/check-reproducible.sh build/win32; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      status=1
    fi
  fi
done

echo "$passed passed, $failed failed, $skipped skipped"
exit $status
