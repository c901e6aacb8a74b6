#!/usr/bin/env bash
# Builds and runs every test suite: the native presets (plain and with AddressSanitizer +
# UndefinedBehaviorSanitizer) and the Windows builds under Wine: win32 (the shipped 32-bit
# build) and win64 (the same sources for 64-bit Wine, which runs where this machine runs no
# 32-bit Windows programs and win32's Wine tests are skipped), and the fuzz preset (clang
# libFuzzer targets, each run for a few seconds). After the win32 preset,
# scripts/check-reproducible.sh builds the shipped programs a second time elsewhere and compares
# them with win32's byte for byte (it needs no Wine, so it runs on every machine); it counts as
# one test. The script's own tests (tests/scripts) run in the native preset.
# Installs missing Debian packages first. The last line always sums up the test counts of all
# suites, also when set-up or a build fails: a preset that cannot be built counts as one
# failure, with a line saying which and why, and the other presets still run.
set -uo pipefail
cd "$(dirname "$0")/.."

if ! bash scripts/deps.sh --win32; then
  echo "set-up: scripts/deps.sh could not install every package (above); going on with what is installed"
fi

presets=(native native-asan win32 win64 fuzz)
passed=0
failed=0
skipped=0
status=0
# The Windows builds pack their installer with the native packager built by the first preset.
export LUMI_HOST_BUILD=$PWD/build/native
# Where this machine runs no 32-bit Windows programs (cmake/wine/runs-win32.sh decides: a kernel
# without 32-bit emulation, or no 32-bit Wine), every Win32 test of the win32 preset could only
# be skipped: it then builds the shipped programs alone and runs the checks that need no Wine
# (the stub's size). The win64 preset builds and runs every Windows test from the same sources.
# LUMI_WIN32_FULL=1 builds all.
build_args=()
test_args=()
win32_products_only() {
  [[ "${LUMI_WIN32_FULL:-0}" != 1 ]] || return 1
  local why
  why=$(cmake/wine/runs-win32.sh) && return 1
  echo "win32: $why: building the shipped programs only (the win64 suite runs the Windows tests)"
}
# build_failed PRESET LOG: one line saying which preset could not be built and why.
build_failed() {
  local why
  why=$(grep -m1 -E 'error|Error|No such file|not found|cannot|Could not' "$2" | cut -c1-200)
  echo "$1: build failed, counted as one failed test: ${why:-see the output above}"
}
for preset in "${presets[@]}"; do
  echo "=== $preset ==="
  started=$SECONDS
  build_args=()
  test_args=()
  if [[ $preset == win32 ]] && win32_products_only; then
    build_args=(--target installer demo_installer lumipack lumidesk_setup)
    test_args=(-R '^stub_|^lumipack_imports$')
  fi
  blog=$(mktemp)
  { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" "${build_args[@]}"; } 2>&1 | tee "$blog"
  if [[ ${PIPESTATUS[0]} -ne 0 ]]; then
    build_failed "$preset" "$blog"
    rm -f "$blog"
    status=1
    failed=$((failed + 1))
    continue
  fi
  rm -f "$blog"
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
    echo "$preset: ctest printed no summary (exit $rc), counted as one failed test"
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
