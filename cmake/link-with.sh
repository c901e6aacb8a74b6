#!/bin/sh
# Link-rule launcher (RULE_LAUNCH_LINK): runs a target's link with another compiler driver.
#   link-with.sh DRIVER COMPILER COMMAND...
# A COMMAND that starts with COMPILER runs with DRIVER in its place; the rule's other commands
# (removing and filling the object archive) run as they are.
driver=$1
compiler=$2
shift 2
if [ "$1" = "$compiler" ]; then
  shift
  exec "$driver" "$@"
fi
exec "$@"
