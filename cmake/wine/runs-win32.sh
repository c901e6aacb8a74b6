#!/usr/bin/env bash
# Whether this machine runs 32-bit Windows programs under Wine: the one place that decides it
# (scripts/test-all.sh, scripts/demo.sh and setup.sh here ask it). Exit 0 when it does; exit 1
# when it does not, with the reason as one line on stdout.
# Machines differ: some kernels run no 32-bit programs at all, so the 32-bit Wine loader fails
# with "Exec format error" (exit 126); on others 32-bit Wine (wine32:i386) may not be installed,
# for instance when the package mirror could not supply matching versions of it.
loader=/usr/lib/wine/wine
if [[ ! -x $loader ]]; then
  echo "32-bit Wine is not installed (package wine32:i386)"
  exit 1
fi
rc=0
out=$("$loader" --version 2>&1) || rc=$?
if [[ $rc -eq 126 ]]; then
  echo "the kernel runs no 32-bit programs (ia32 emulation is off), so 32-bit Wine cannot start"
  exit 1
elif [[ $rc -ne 0 ]]; then
  echo "32-bit Wine does not start (exit $rc): $(head -1 <<<"$out")"
  exit 1
fi
exit 0
