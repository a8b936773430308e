# Sourced by scripts/bench.sh: starts a PipeWire server with its PulseAudio service and
# a null sink, private to this run (the desktop's sound server on Debian 12), and points
# PULSE_SERVER and TOLLBROOK_TEST_SINK at it. Stops it when the run ends.
pw_dir=$(mktemp -d /tmp/tollbrook-pipewire.XXXXXX)
chmod 700 "$pw_dir"
pw_pids=()
pw_stop() {
  for p in "${pw_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$pw_dir"
}
trap 'pw_stop; services_stop' EXIT

export XDG_RUNTIME_DIR="$pw_dir"
dbus-daemon --session --address="unix:path=$pw_dir/bus" --fork --print-pid >"$pw_dir/dbus.pid"
pw_pids+=("$(cat "$pw_dir/dbus.pid")")
export DBUS_SESSION_BUS_ADDRESS="unix:path=$pw_dir/bus"
unset PULSE_RUNTIME_PATH
pipewire >"$pw_dir/pipewire.log" 2>&1 &
pw_pids+=($!)
sleep 0.5
wireplumber >"$pw_dir/wireplumber.log" 2>&1 &
pw_pids+=($!)
pipewire-pulse >"$pw_dir/pipewire-pulse.log" 2>&1 &
pw_pids+=($!)
export PULSE_SERVER="unix:$pw_dir/pulse/native"
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
if ! pactl info >/dev/null 2>&1; then
  echo "error: the PipeWire server did not start" >&2
  sed 's/^/    /' "$pw_dir"/*.log >&2
  exit 1
fi
pactl load-module module-null-sink sink_name=tollbrook_pipewire >/dev/null
sleep 0.5
pactl set-default-sink tollbrook_pipewire
export TOLLBROOK_TEST_SINK=tollbrook_pipewire
