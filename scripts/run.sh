#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it. On a first run it writes
# a demo schedule beside the program, with a chime at the next two whole minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
bash scripts/build.sh
./build/tollbrook-demo build
exec ./build/tollbrook
