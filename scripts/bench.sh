#!/usr/bin/env bash
# Installs what is missing, builds, and runs the benchmarks with the test services: the
# media layer's open and start, the cost of a tick, the bells of the real program against
# a PulseAudio and then a PipeWire null sink (with where each bell's time goes), the
# program's idle CPU and memory, the memory a MIDI bell leaves behind, and what the
# program's packages weigh on a bare system. Takes about fifteen minutes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh bench
bash scripts/build.sh --tests
source scripts/services.sh
./build/bench/tb_bench_playback
./build/bench/tb_bench_trigger
bash bench/idle_cpu.sh ./build/tollbrook "${IDLE_SECONDS:-300}"
echo "== memory left by MIDI bells =="
./build/bench/tb_bench_bell_memory 400 mid rmi
echo "== what the runtime packages install on a bare Debian 12 =="
bash scripts/install-weight.sh $(bash scripts/install-deps.sh runtime --list)
echo "== PulseAudio =="
./build/bench/tb_bench_bells
./build/bench/tb_bench_bell_steps
source scripts/pipewire.sh
echo "== PipeWire =="
./build/bench/tb_bench_bells
./build/bench/tb_bench_bell_steps
