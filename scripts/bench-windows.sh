#!/usr/bin/env bash
# The Windows media layer's second to sound under Wine: builds both sides, then plays
# WAV and MP3 files through MCI in a private Wine prefix while the Linux side records
# the null sink.
#   bench-windows.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh windows
bash scripts/build.sh --tests
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" -DBUILD_TESTING=ON >/dev/null
cmake --build build-windows -j"$(nproc)" --target tb_mci_onset_probe
source scripts/services.sh
trap 'wine_stop; services_stop' EXIT
source scripts/wine-env.sh
export TOLLBROOK_WINE=$wine
./build/bench/tb_bench_wine_mci build-windows/bench/windows/tb_mci_onset_probe.exe "${1:-5}"
