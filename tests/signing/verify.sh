#!/usr/bin/env bash
# osslsigncode verify against the test certificate, offline.
#   verify.sh CERT pass|fail FILE...
# pass: every file's signature verifies; fail: none does (each was changed after signing).
set -uo pipefail
cert=$1 want=$2
shift 2
status=0
for file; do
  if [[ ! -f "$file" ]]; then
    echo "FAILED: $file is missing" >&2
    exit 1
  fi
  output=$(osslsigncode verify -CAfile "$cert" -in "$file" 2>&1)
  result=$?
  if [[ $want == pass && $result -ne 0 ]]; then
    echo "FAILED: $file does not verify:" >&2
    echo "$output" >&2
    status=1
  elif [[ $want == fail && $result -eq 0 ]]; then
    echo "FAILED: $file verifies although it was changed after signing:" >&2
    echo "$output" >&2
    status=1
  else
    echo "$file: $(echo "$output" | grep -m1 -iE 'mismatch|failed|succeeded|signature verification' || echo "exit $result")"
  fi
done
exit $status
