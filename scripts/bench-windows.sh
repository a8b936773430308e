#!/usr/bin/env bash
# The Windows program's second to sound under Wine, Tollbrook beside a floor of plain
# MCI that opens the same files ahead: builds both sides, then rings WAV, MP3, MP2 and
# MIDI files in a private Wine prefix while the Linux side records the null sink. Prints
# one table for a quiet machine and one under load (two busy loops and a disk writer).
#   bench-windows.sh [--load quiet|busy|both] [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
load=both
if [ "${1:-}" = "--load" ]; then
  load=$2
  shift 2
fi
case $load in quiet|busy|both) ;; *) echo "usage: $0 [--load quiet|busy|both] [ROUNDS]" >&2; exit 2 ;; esac
rounds=${1:-5}

bash scripts/install-deps.sh windows
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=ON >/dev/null
cmake --build build -j"$(nproc)" --target tb_bench_wine_mci
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" -DBUILD_TESTING=ON >/dev/null
cmake --build build-windows -j"$(nproc)" --target tb_mci_bell_probe

load_pids=()
load_dir=$(mktemp -d /tmp/tollbrook-load.XXXXXX)
load_stop() {
  # (A bare `wait` would wait for the test services too.)
  [ ${#load_pids[@]} -gt 0 ] || return 0
  kill "${load_pids[@]}" 2>/dev/null || true
  wait "${load_pids[@]}" 2>/dev/null || true
  load_pids=()
}
load_start() {
  for _ in 1 2; do
    bash -c 'while :; do :; done' &
    load_pids+=($!)
  done
  # The writer takes its dd with it when it is stopped.
  bash -c 'trap "kill \$dd 2>/dev/null; exit" TERM
    while :; do dd if=/dev/zero of="$1/load" bs=1M count=256 conv=fdatasync status=none & dd=$!; wait $dd; done' \
    disk-writer "$load_dir" &
  load_pids+=($!)
}

source scripts/services.sh
trap 'load_stop; rm -rf "$load_dir"; wine_stop; services_stop' EXIT
source scripts/wine-env.sh
export TOLLBROOK_WINE=$wine
probe=build-windows/bench/windows/tb_mci_bell_probe.exe
status=0
if [ "$load" != busy ]; then
  ./build/bench/tb_bench_wine_mci "$probe" "$rounds" "quiet" || status=1
fi
if [ "$load" != quiet ]; then
  load_start
  ./build/bench/tb_bench_wine_mci "$probe" "$rounds" "under two busy loops and a disk writer" || status=1
  load_stop
fi
exit $status
