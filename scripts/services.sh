# Sourced by the test and benchmark scripts: starts an X server and a PulseAudio server
# with a null sink, private to this run, and stops them when the run ends, however it
# ends. Exports TOLLBROOK_TEST_DISPLAY, TOLLBROOK_TEST_SINK, PULSE_SERVER and
# PULSE_RUNTIME_PATH. Fails at once, with the server's log, when one does not start.

services_dir=$(mktemp -d /tmp/tollbrook-services.XXXXXX)
services_pids=()

services_fail() {
  echo "error: $1" >&2
  [ -f "$2" ] && sed 's/^/    /' "$2" >&2
  services_stop
  exit 1
}

services_stop() {
  for p in "${services_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$services_dir"
}
trap services_stop EXIT

# X server: it picks a free display itself and says which once it is ready, so two
# runs at once never share one.
exec 9>"$services_dir/display"
Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp >"$services_dir/xvfb.log" 2>&1 &
services_pids+=($!)
exec 9>&-
for _ in $(seq 100); do
  [ -s "$services_dir/display" ] && break
  kill -0 "${services_pids[0]}" 2>/dev/null || break
  sleep 0.1
done
[ -s "$services_dir/display" ] || services_fail "the X server did not start" "$services_dir/xvfb.log"
export TOLLBROOK_TEST_DISPLAY=":$(head -n1 "$services_dir/display")"

# A window manager on it: minimizing, closing and focus behave as on a desktop.
DISPLAY=$TOLLBROOK_TEST_DISPLAY openbox --sm-disable >"$services_dir/openbox.log" 2>&1 &
services_pids+=($!)

# Sound server with a null sink, its socket in this run's folder; its monitor can be
# recorded. Without rewinds, what the monitor gives is what the sink played, in order
# and on time.
export PULSE_RUNTIME_PATH="$services_dir/pulse"
export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
mkdir -p "$PULSE_RUNTIME_PATH"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
  --load="module-null-sink sink_name=tollbrook_test norewinds=1" \
  --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native" \
  --log-target="file:$services_dir/pulse.log" >/dev/null 2>&1 &
services_pids+=($!)
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  kill -0 "${services_pids[2]}" 2>/dev/null || break
  sleep 0.1
done
pactl info >/dev/null 2>&1 || services_fail "the PulseAudio test server did not start" "$services_dir/pulse.log"
pactl set-default-sink tollbrook_test >/dev/null
export TOLLBROOK_TEST_SINK=tollbrook_test

# If this run is killed outright, its EXIT trap never runs: a watcher of its own
# session stops the servers once the run's shell is gone.
setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 2; done; d=$2; shift 2; kill "$@"; rm -rf "$d"' \
  services-watch $$ "$services_dir" "${services_pids[@]}" >/dev/null 2>&1 </dev/null &
