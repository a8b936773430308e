#!/usr/bin/env bash
# The command line: --help and --version answer without a display; an unknown option
# or an argument is refused with status 2 and a clear message.
#   command_line_test.sh PROGRAM
set -uo pipefail
program=$1
fail() { echo "$1"; exit 1; }
unset DISPLAY WAYLAND_DISPLAY

out=$("$program" --version); status=$?
[ $status -eq 0 ] && [ "$out" = "Tollbrook 1.01" ] || fail "--version: status $status, said: $out"
out=$("$program" --help); status=$?
[ $status -eq 0 ] && grep -q -- "--version" <<<"$out" && grep -q "Usage: tollbrook" <<<"$out" || fail "--help: $status: $out"
for args in "--frobnicate" "-x" "/srv/bells/rise.mp3"; do
  err=$("$program" $args 2>&1 >/dev/null); status=$?
  [ $status -eq 2 ] || fail "$args: status $status"
  grep -q "tollbrook --help" <<<"$err" || fail "$args: said: $err"
done
echo ok
