#!/usr/bin/env bash
# lumipack.exe reads a signed installer as it reads the unsigned one: list and verify print the
# same and add that it is signed, with the size of its certificate table; extract gives the
# same files. With bytes appended after the table, all three refuse the file and say why.
#   lumipack-reads.sh WORK UNSIGNED SIGNED COMMAND...   (COMMAND: the emulator and lumipack.exe)
# Exit code 77 (skipped) when the emulator says Wine cannot run here.
set -uo pipefail
work=$1 unsigned=$2 signed=$3
shift 3
lumipack=("$@")
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
win() {
  local p=${1//\//\\}
  echo "Z:$p"
}
# Runs lumipack.exe with its output in WORK/NAME.out and .err (carriage returns dropped).
call() {
  local name=$1
  shift
  "${lumipack[@]}" "$@" >"$work/$name.out" 2>"$work/$name.err"
  local status=$?
  ((status == 77)) && exit 77
  sed -i 's/\r$//' "$work/$name.out" "$work/$name.err"
  return $status
}

rm -rf "$work"
mkdir -p "$work"
table=$(($(stat -c %s "$signed") - $(stat -c %s "$unsigned")))
signed_line="Signed: certificate table of $table bytes after the payload (the signature is not checked here)"

call list-unsigned list "$(win "$unsigned")" || fail "list of the unsigned installer: $(cat "$work/list-unsigned.err")"
call list-signed list "$(win "$signed")" || fail "list of the signed installer: $(cat "$work/list-signed.err")"
diff <(cat "$work/list-unsigned.out"; echo "$signed_line") "$work/list-signed.out" ||
  fail "list of the signed installer differs"

call verify-unsigned verify "$(win "$unsigned")" || fail "verify of the unsigned installer: $(cat "$work/verify-unsigned.err")"
call verify-signed verify "$(win "$signed")" || fail "verify of the signed installer: $(cat "$work/verify-signed.err")"
diff <(sed 's/^.*: OK: /OK: /' "$work/verify-unsigned.out"; echo "$signed_line") \
  <(sed 's/^.*: OK: /OK: /' "$work/verify-signed.out") || fail "verify of the signed installer differs"

call extract-unsigned extract "$(win "$unsigned")" -d "$(win "$work/unsigned")" --full-path ||
  fail "extract of the unsigned installer: $(cat "$work/extract-unsigned.err")"
call extract-signed extract "$(win "$signed")" -d "$(win "$work/signed")" --full-path ||
  fail "extract of the signed installer: $(cat "$work/extract-signed.err")"
diff -r "$work/unsigned" "$work/signed" || fail "the signed installer's files differ"
[[ -n "$(ls -A "$work/signed")" ]] || fail "nothing was extracted"

cp "$signed" "$work/appended.exe"
printf 'appended after the certificate table' >>"$work/appended.exe"
for command in list verify extract; do
  args=("$command" "$(win "$work/appended.exe")")
  [[ $command == extract ]] && args+=(-d "$(win "$work/appended")")
  if call "appended-$command" "${args[@]}"; then
    fail "$command took an installer with bytes after its certificate table"
  fi
  grep -q "a damaged installer: 36 bytes follow the certificate table" "$work/appended-$command.err" ||
    fail "$command of the appended installer says: $(cat "$work/appended-$command.err")"
done
[[ ! -e "$work/appended" ]] || fail "extract wrote files from the appended installer"
echo "passed: list, verify and extract of $signed"
