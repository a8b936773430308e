#!/usr/bin/env bash
# Cross-builds the Windows core (mingw-w64, into build-windows/) and runs its tests under
# Wine, in a Wine prefix private to this run, on the X server and the PulseAudio null
# sink of scripts/services.sh (the ones the caller started, or its own).
#   test-windows.sh [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
# Wine names files in the locale's character set: UTF-8, whatever the caller has.
unset LANGUAGE
export LANG=C.UTF-8 LC_ALL=C.UTF-8
bash scripts/install-deps.sh windows

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" -DBUILD_TESTING=ON -DTB_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build build-windows -j"$(nproc)"

# The tests' MIDI files play through Wine's MPEGVideo, which decodes with the host's
# GStreamer: it finds the program's own MIDI decoder as a plugin module, built natively,
# with a plugin registry of its own.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build build -j"$(nproc)" --target gsttollbrookmidi >/dev/null
export GST_PLUGIN_PATH=$PWD/build/media/gstreamer
export GST_REGISTRY_1_0=$PWD/build-windows/gstreamer-registry.bin

if [ -z "${TOLLBROOK_TEST_DISPLAY:-}" ]; then
  source scripts/services.sh
  trap 'wine_stop; services_stop' EXIT
else
  trap 'wine_stop' EXIT
fi
source scripts/wine-env.sh
wine_hold_desktop build-windows/tests/tb_win32_probe.exe

# An MP3 fixture (Windows has no encoder to make one with): 3 s of 880 Hz, as a Windows
# path on Wine's Z: drive.
mp3=$PWD/build-windows/fixtures/tone-880.mp3
mkdir -p "$(dirname "$mp3")"
[ -s "$mp3" ] || gst-launch-1.0 -q audiotestsrc wave=sine freq=880 volume=0.5 num-buffers=130 ! audioconvert ! \
  lamemp3enc ! filesink location="$mp3" >/dev/null
export TOLLBROOK_TEST_MP3="Z:${mp3//\//\\}"

bash scripts/run-ctest.sh build-windows "$@"
