#!/usr/bin/env bash
# tollbrook-demo refuses options and anything but one existing folder with status 2 and
# its usage, writing nothing; given an empty folder it writes the demo schedule there.
#   demo_command_line_test.sh DEMO_PROGRAM
set -uo pipefail
demo=$(realpath "$1")
fail() { echo "$1"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/cwd" "$work/empty"
cd "$work/cwd"
for args in "--help" "-x" "-h" "" "$work/empty $work/empty" "$work/missing"; do
  err=$("$demo" $args 2>&1 >/dev/null); status=$?
  [ $status -eq 2 ] || fail "'$args': status $status, said: $err"
  grep -q "^Usage: tollbrook-demo FOLDER" <<<"$err" || fail "'$args': said: $err"
  [ -z "$(find "$work/cwd" "$work/empty" -mindepth 1)" ] || fail "'$args' wrote: $(ls -AR "$work")"
done
"$demo" "$work/empty" >/dev/null || fail "writing into an empty folder: status $?"
written=$(cd "$work/empty" && ls | sort | tr '\n' ' ')
[ "$written" = "demo-chime.wav hou.ini playlist.ini qian.ini " ] || fail "the demo wrote: $written"
echo ok
