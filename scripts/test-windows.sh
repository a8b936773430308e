#!/usr/bin/env bash
# Cross-builds the Windows core (mingw-w64, into build-windows/) and runs its tests under
# Wine, in a Wine prefix private to this run, on the X server and the PulseAudio null
# sink of scripts/services.sh (the ones the caller started, or its own).
#   test-windows.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh windows

wine=/usr/lib/wine/wine64  # Debian puts neither wine64 nor wineserver on PATH
wineserver=/usr/lib/wine/wineserver
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" -DBUILD_TESTING=ON >/dev/null
cmake --build build-windows -j"$(nproc)"

if [ -z "${TOLLBROOK_TEST_DISPLAY:-}" ]; then
  source scripts/services.sh
  trap 'windows_stop; services_stop' EXIT
else
  trap 'windows_stop' EXIT
fi

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tollbrook-wine.XXXXXX)
export WINEARCH=win64 WINEDEBUG=-all
# No debugger for a crashing test (it would wait for ever), no menu entries in $HOME.
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d"
export DISPLAY=$TOLLBROOK_TEST_DISPLAY

windows_stop() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}

# One server with Wine's services for the whole run; each test process would otherwise
# start them anew (about 2.5 s). Their standard streams must not be ctest's pipes.
"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine" wineboot --init </dev/null >/dev/null 2>&1
# For the tests only: MIDI through MPEGVideo (the host's GStreamer decodes it), since a
# sandbox has no MIDI output device for Wine's sequencer. Windows uses its sequencer.
for ext in mid midi rmi; do
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\MCI Extensions' /v $ext /d MPEGVideo /f \
    </dev/null >/dev/null 2>&1
done

# Wine records through its default capture device: the null sink's monitor, so that the
# tests hear what the media layer plays. An MP3 fixture (Windows has no encoder to make
# one with): 3 s of 880 Hz, as a Windows path on Wine's Z: drive.
pactl set-default-source "$TOLLBROOK_TEST_SINK.monitor" >/dev/null
mp3=$PWD/build-windows/fixtures/tone-880.mp3
mkdir -p "$(dirname "$mp3")"
[ -s "$mp3" ] || gst-launch-1.0 -q audiotestsrc wave=sine freq=880 volume=0.5 num-buffers=130 ! audioconvert ! \
  lamemp3enc ! filesink location="$mp3" >/dev/null
export TOLLBROOK_TEST_MP3="Z:${mp3//\//\\}"

cd build-windows
ctest --output-on-failure -j"$(nproc)" --timeout 300 "$@"
