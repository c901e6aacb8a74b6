#!/usr/bin/env bash
# Signs installers as a vendor would: osslsigncode with a self-signed code-signing certificate
# made here (no time-stamp: the tests use no network). Then checks what signing did to each
# file: nothing padded (the installer's size was a multiple of 8 already), so the security
# directory names a table that starts right after the unsigned bytes and ends the file.
#   sign.sh WORK UNSIGNED SIGNED [UNSIGNED SIGNED ...]
# WORK receives cert.pem and key.pem.
set -euo pipefail
work=$1
shift
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
mkdir -p "$work"
rm -f "$work/cert.pem" "$work/key.pem"
openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 -subj "/CN=Lumidesk test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null

le32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
le16() { od -An -tu2 -j "$2" -N2 "$1" | tr -d ' '; }

while (($# >= 2)); do
  in=$1 out=$2
  shift 2
  mkdir -p "$(dirname "$out")"
  rm -f "$out"
  osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -h sha256 -n Lumidesk \
    -in "$in" -out "$out" >/dev/null || fail "osslsigncode could not sign $in"
  size=$(stat -c %s "$in")
  total=$(stat -c %s "$out")
  pe=$(le32 "$out" 60)
  magic=$(le16 "$out" $((pe + 24)))
  entry=$((pe + 24 + (magic == 0x20B ? 112 : 96) + 4 * 8))  # data directory 4
  table=$(le32 "$out" $entry)
  length=$(le32 "$out" $((entry + 4)))
  ((size % 8 == 0)) || fail "$in: $size bytes, not a multiple of 8"
  ((table == size)) || fail "$out: the certificate table starts at $table, not at $size: signing padded the file"
  ((table + length == total)) || fail "$out: the certificate table ($table, $length bytes) does not end the file ($total bytes)"
  cmp -s -i "$((size - 4)):$((size - 4))" -n 4 "$in" "$out" || fail "$out: the payload trailer moved"
  echo "$out: $size bytes + a certificate table of $length bytes = $total bytes"
done
