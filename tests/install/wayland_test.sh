#!/usr/bin/env bash
# Under Wayland (a headless weston of its own, no notification area) the program's
# window carries its desktop entry's id as app id, and Qt prints no warning about the
# tray on the way.
#   wayland_test.sh DESKTOP_ENTRY PROGRAM
set -uo pipefail
entry=$1 program=$2
fail() { echo "$1"; exit 1; }
command -v weston >/dev/null || fail "weston is missing (scripts/install-deps.sh test installs it)"
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  fail "Qt's Wayland platform is missing: qt6-wayland (scripts/install-deps.sh test installs it)"
app_id=$(basename "$entry" .desktop)

work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work/runtime
unset DISPLAY DBUS_SESSION_BUS_ADDRESS
weston --backend=headless-backend.so --socket=tollbrook-test --idle-time=0 --no-config >"$work/weston.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/tollbrook-test" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/tollbrook-test" ] || fail "weston did not start: $(cat "$work/weston.log")"

# A copy in a folder of its own, so that it keeps its (missing) schedule there.
cp "$program" "$work/tollbrook"
WAYLAND_DISPLAY=tollbrook-test QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$work/tollbrook" >"$work/log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do grep -q 'xdg_toplevel@[0-9]*\.set_app_id' "$work/log" && break; sleep 0.1; done
sleep 1  # whatever the start still prints
said=$(grep -v '^\[ *[0-9.]*\] ' "$work/log")  # the program's own lines, not the protocol trace
got=$(sed -n 's/.*xdg_toplevel@[0-9]*\.set_app_id("\(.*\)")$/\1/p' "$work/log" | sort -u)
[ -n "$got" ] || fail "no window appeared: $said"
[ "$got" = "$app_id" ] || fail "the window's app id is '$got', its entry is $app_id.desktop"
if grep -qiE 'No such signal|QObject::connect|warning' <<<"$said"; then fail "the program warned: $said"; fi
echo "app id $got; the program said: ${said:-nothing}"
