#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need (an X server and
# a PulseAudio server with a null sink, both private to this run) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
source scripts/services.sh
cd build
ctest --output-on-failure -j"$(nproc)" --timeout 300
