#!/usr/bin/env bash
# The program's windows carry the window class that its desktop entry names in
# StartupWMClass, so that a desktop matches a running window with its menu entry.
#   window_class_test.sh DESKTOP_ENTRY PROGRAM
# Needs the X server of scripts/services.sh (TOLLBROOK_TEST_DISPLAY).
set -uo pipefail
entry=$1 program=$2
fail() { echo "$1"; exit 1; }
if [ -z "${TOLLBROOK_TEST_DISPLAY:-}" ]; then
  echo "cannot run here: no X server; run through scripts/test.sh (or source scripts/services.sh)"
  exit 77
fi
class=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$class" ] || fail "$entry names no StartupWMClass"

# A copy in a folder of its own, so that it keeps its (missing) schedule there.
work=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
cp "$program" "$work/tollbrook"
export DISPLAY=$TOLLBROOK_TEST_DISPLAY
"$work/tollbrook" >"$work/log" 2>&1 &
pid=$!
windows=
for _ in $(seq 100); do
  windows=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null) && [ -n "$windows" ] && break
  sleep 0.1
done
[ -n "$windows" ] || fail "no window of the program appeared: $(cat "$work/log")"
for w in $windows; do
  wm_class=$(xprop -id "$w" WM_CLASS)
  # WM_CLASS(STRING) = "instance", "class"
  got=$(sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\(.*\)"$/\1/p' <<<"$wm_class")
  [ "$got" = "$class" ] || fail "window $w: $wm_class, the entry says StartupWMClass=$class"
done
echo "$(wc -w <<<"$windows") window(s) of class $class"
