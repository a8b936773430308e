#!/usr/bin/env bash
# Installs the Debian packages a group needs, skipping those already present. Works as
# root or through sudo.
#   install-deps.sh runtime   what the program needs to run
#   install-deps.sh build     runtime, and what building the program needs
#   install-deps.sh test      build, and what the tests need (the default), the checked
#                             builds of scripts/check.sh included (clang's sanitizer
#                             and libFuzzer runtimes, gcovr)
#   install-deps.sh bench     test, and a PipeWire server for the benchmarks
#   install-deps.sh windows   test, and the cross-compiler, Wine, GoogleTest's sources
#                             and NSIS that build and test the Windows program and
#                             make its setup
#   install-deps.sh GROUP --list   only prints the group's packages
# No group installs a sound server for the desktop: Debian 12's desktop has PipeWire
# with its PulseAudio service (or PulseAudio), and a second one beside it can take the
# desktop's sound away at the next login. Only the test group brings the PulseAudio
# daemon, which the tests run privately with a null sink, and only the bench group
# PipeWire, which the benchmarks run privately too.
set -euo pipefail

# MIDI plays through libfluidsynth itself (23 packages, 15 MB): GStreamer's FluidSynth
# decoder would bring gstreamer1.0-plugins-bad, 183 packages and 450 MB more on a bare
# system (scripts/install-weight.sh).
runtime=(
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good
  gstreamer1.0-pulseaudio libfluidsynth3 timgm6mb-soundfont
  fonts-wine fonts-wqy-microhei
)
build=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libfluidsynth-dev
)
test=(
  libgtest-dev libgmock-dev libbenchmark-dev libpulse-dev
  xvfb xauth openbox trayer xdotool wmctrl x11-utils x11-apps netpbm
  pulseaudio pulseaudio-utils
  dbus at-spi2-core python3-pyatspi
  locales-all
  desktop-file-utils appstream dpkg-dev lintian
  fuse3 python3-fusepy
  python3 dex libglib2.0-bin systemd
  valgrind
  clang libclang-rt-14-dev gcovr
  weston qt6-wayland
)

bench=(pipewire pipewire-pulse wireplumber dbus)

windows=(g++-mingw-w64-x86-64-posix wine64 googletest gstreamer1.0-tools nsis libpulse0)

group=${1:-test}
case "$group" in
  runtime) packages=("${runtime[@]}") ;;
  build) packages=("${runtime[@]}" "${build[@]}") ;;
  test) packages=("${runtime[@]}" "${build[@]}" "${test[@]}") ;;
  bench) packages=("${runtime[@]}" "${build[@]}" "${test[@]}" "${bench[@]}") ;;
  windows) packages=("${runtime[@]}" "${build[@]}" "${test[@]}" "${windows[@]}") ;;
  *) echo "usage: $0 [runtime|build|test|bench|windows] [--list]" >&2; exit 2 ;;
esac
if [ "${2:-}" = --list ]; then
  printf '%s\n' "${packages[@]}"
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
