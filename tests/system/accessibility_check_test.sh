#!/usr/bin/env bash
# The program's windows as a screen reader reads them: the program on a private X
# server with a private session bus and accessibility bus, its tree read over AT-SPI
# by accessibility_check.py.
#   accessibility_check_test.sh PROGRAM [--every-window]
set -euo pipefail
program=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

# Debian's pyatspi belongs to the system's Python.
python=/usr/bin/python3
[ -x "$python" ] || python=python3

export XDG_RUNTIME_DIR="$work/run"
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-daemon --session --address="unix:path=$XDG_RUNTIME_DIR/bus" --fork --print-pid >"$work/dbus.pid"
pids+=("$(cat "$work/dbus.pid")")
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"

# The tests' X server with its window manager (scripts/services.sh), else one of its own.
if [ -n "${TOLLBROOK_TEST_DISPLAY:-}" ]; then
  export DISPLAY=$TOLLBROOK_TEST_DISPLAY
else
  exec 9>"$work/display"
  Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  exec 9>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "the X server did not start within 10 s"; exit 1; }
  export DISPLAY=":$(head -n1 "$work/display")"
fi

/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)

# The program in a folder of its own with one entry; the creation step then enables
# only Play.
mkdir "$work/app"
cp "$program" "$work/app/tollbrook"
printf '/srv/bells/a.mp3|08:00:00\r\n' >"$work/app/playlist.ini"
printf '/srv/bells/a.mp3\r\n' >"$work/app/qian.ini"
printf '08:00:00\r\n' >"$work/app/hou.ini"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8 "$work/app/tollbrook" >"$work/program.log" 2>&1 &
pids+=($!)

"$python" "$here/accessibility_check.py" "${@:2}" || {
  status=$?
  echo "The program's output:"
  cat "$work/program.log"
  exit $status
}
