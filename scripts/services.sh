# Sourced by the test and benchmark scripts: starts an X server and a PulseAudio server
# with a null sink, private to this run, and stops them on exit. Exports
# TOLLBROOK_TEST_DISPLAY, TOLLBROOK_TEST_SINK, PULSE_SERVER and PULSE_RUNTIME_PATH.

services_dir=$(mktemp -d /tmp/tollbrook-services.XXXXXX)
services_pids=()
services_stop() {
  for p in "${services_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  if [ -n "${PULSE_RUNTIME_PATH:-}" ]; then pulseaudio --kill >/dev/null 2>&1 || true; fi
  rm -rf "$services_dir"
}
trap services_stop EXIT

# X server for the tests that need a real display.
display=""
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$services_dir/xvfb.log" 2>&1 &
services_pids+=($!)
export TOLLBROOK_TEST_DISPLAY="$display"

# Sound server with a null sink; its monitor can be recorded. Without rewinds, what
# the monitor gives is what the sink played, in order and on time.
export PULSE_RUNTIME_PATH="$services_dir/pulse"
export PULSE_SERVER="unix:$PULSE_RUNTIME_PATH/native"
mkdir -p "$PULSE_RUNTIME_PATH"
pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes \
  --load="module-null-sink sink_name=tollbrook_test norewinds=1" \
  --load="module-native-protocol-unix socket=$PULSE_RUNTIME_PATH/native" \
  --log-target="file:$services_dir/pulse.log" 2>/dev/null || true
for _ in $(seq 50); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
if pactl info >/dev/null 2>&1; then
  pactl set-default-sink tollbrook_test >/dev/null 2>&1 || true
  export TOLLBROOK_TEST_SINK=tollbrook_test
else
  echo "warning: the PulseAudio test server did not start; tests that need it will fail" >&2
fi
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X${display#:}" ] && break
  sleep 0.1
done
