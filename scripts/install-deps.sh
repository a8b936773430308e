#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the program needs.
# Safe to run again: packages already present are skipped. Works as root or through sudo.
set -euo pipefail

packages=(
  # build
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # media layer at run time
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-pulseaudio gstreamer1.0-tools
  timgm6mb-soundfont
  # tests: X server, tray host, sound server, locales, fixtures
  xvfb xauth xdotool trayer openbox wmctrl x11-utils x11-apps netpbm
  pulseaudio pulseaudio-utils libpulse-dev
  locales-all
  sox
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
