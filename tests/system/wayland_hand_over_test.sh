#!/usr/bin/env bash
# On a Wayland desktop with neither a notification area nor a taskbar (a headless weston
# of its own), "Put on the tray" minimizes the window, and a second start on the same
# schedule folder brings it back: the running copy shows its window anew (a client
# cannot take its window out of minimized) and the second start ends with 0. The
# button is pressed over AT-SPI, as a screen reader would; what the window system was
# asked is read from the running copy's Wayland protocol trace.
#   wayland_hand_over_test.sh PROGRAM
set -uo pipefail
program=$1
fail() { echo "FAIL: $1"; [ -f "$work/first.log" ] && grep -v '^\[' "$work/first.log" | tail -5; exit 1; }
python=/usr/bin/python3  # Debian's pyatspi belongs to the system's Python
[ -x "$python" ] || python=python3

work=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY
dbus-daemon --session --address="unix:path=$XDG_RUNTIME_DIR/bus" --fork --print-pid >"$work/dbus.pid"
pids+=("$(cat "$work/dbus.pid")")
export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
weston --backend=headless-backend.so --socket=tollbrook-test --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/tollbrook-test" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/tollbrook-test" ] || fail "weston did not start: $(cat "$work/weston.log")"
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
pids+=($!)

mkdir "$work/app"
cp "$program" "$work/app/tollbrook"
: >"$work/app/playlist.ini"
: >"$work/app/qian.ini"
: >"$work/app/hou.ini"
export WAYLAND_DISPLAY=tollbrook-test QT_QPA_PLATFORM=wayland QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LC_ALL=C.UTF-8
WAYLAND_DEBUG=client "$work/app/tollbrook" >"$work/first.log" 2>&1 &
first=$!
pids+=($first)
count() { grep -cE "$1" "$work/first.log"; }
for _ in $(seq 200); do [ "$(count 'xdg_toplevel@[0-9]+\.set_app_id')" -gt 0 ] && break; sleep 0.1; done
[ "$(count 'xdg_toplevel@[0-9]+\.set_app_id')" -gt 0 ] || fail "no window appeared"

"$python" - <<'EOF' || fail "\"Put on the tray\" was not pressed"
import sys, time
import pyatspi
end = time.monotonic() + 30
def find(node):
    for child in node:
        if child is None:
            continue
        if child.getRoleName() == "push button" and child.name == "Put on the tray":
            return child
        found = find(child)
        if found is not None:
            return found
    return None
while time.monotonic() < end:
    for app in pyatspi.Registry.getDesktop(0):
        button = find(app) if app is not None and "tollbrook" in (app.name or "").lower() else None
        if button is not None:
            button.queryAction().doAction(0)
            sys.exit(0)
    time.sleep(0.2)
sys.exit(1)
EOF
for _ in $(seq 100); do [ "$(count '\.set_minimized')" -gt 0 ] && break; sleep 0.1; done
[ "$(count '\.set_minimized')" -gt 0 ] || fail "without a notification area \"Put on the tray\" did not minimize"
windows=$(count 'xdg_surface@[0-9]+\.get_toplevel')

timeout 30 "$work/app/tollbrook" >"$work/second.log" 2>&1
status=$?
[ $status = 0 ] || fail "the second start ended with $status: $(cat "$work/second.log")"
kill -0 "$first" 2>/dev/null || fail "the running copy ended"
for _ in $(seq 100); do [ "$(count 'xdg_surface@[0-9]+\.get_toplevel')" -gt "$windows" ] && break; sleep 0.1; done
[ "$(count 'xdg_surface@[0-9]+\.get_toplevel')" -gt "$windows" ] || fail "the running copy did not show its window anew"
echo "the second start ended with 0 and the running copy showed its window anew"
