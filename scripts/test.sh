#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need (an X server with
# a window manager, and a PulseAudio server with a null sink, both private to this run)
# and runs every test; then the Windows core's, cross-built and run under Wine on the
# same servers (scripts/test-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
bash scripts/build.sh --tests
source scripts/services.sh
(cd build && ctest --output-on-failure -j"$(nproc)" --timeout 300)
bash scripts/test-windows.sh
