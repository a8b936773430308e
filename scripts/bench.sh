#!/usr/bin/env bash
# Installs what is missing, builds, and runs the benchmarks with the same services as
# the tests. Takes a few minutes: the idle and bell measurements run the real program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
bash scripts/build.sh --tests
source scripts/services.sh
./build/bench/tb_bench_playback
./build/bench/tb_bench_trigger
./build/bench/tb_bench_bells
bash bench/idle_cpu.sh ./build/tollbrook "${IDLE_SECONDS:-60}"
