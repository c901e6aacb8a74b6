#!/usr/bin/env bash
# Runs a command in a network namespace with no interfaces, so the online probe sees no
# network whatever the machine has. Exit code 77 (skipped) where namespaces cannot be made.
if ! unshare -n true 2>/dev/null; then
  echo "skipped: this host cannot make a network namespace (unshare -n)"
  exit 77
fi
exec unshare -n "$@"
