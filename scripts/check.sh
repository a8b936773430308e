#!/usr/bin/env bash
# The checked builds, each in a build folder of its own, for every change that touches
# threads, files or the media layers (the README's test command runs a cheap part):
#   asan      every Linux test under AddressSanitizer + LeakSanitizer and UBSan (build-asan)
#   tsan      the threaded tests (worker, device, GStreamer layer, presenters) under
#             ThreadSanitizer (build-tsan)
#   fuzz      each libFuzzer target for FUZZ_SECONDS (default 60) from its seed corpus
#             (build-fuzz, clang)
#   coverage  every Linux test with gcov counters, and gcovr's lines and branches per
#             folder (build-coverage; the whole report in build-coverage/coverage.txt)
#   check.sh [PART...]    the parts named, by default all four, then how long each took
#   check.sh --ci   what scripts/test.sh runs: the core's and presenters' tests under
#                   ASan + UBSan, and each fuzz target for FUZZ_SECONDS
# Suppressions, each with its reason: tests/sanitizers/*.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
unset LANGUAGE
export LANG=C.UTF-8 LC_ALL=C.UTF-8
root=$PWD
jobs=${JOBS:-$(nproc)}

# The sanitizers' settings for every process a test starts, the program included.
# GLib is built without frame pointers: leak stacks are unwound the slow way, so that
# the suppressions find the library function that took the memory. Tests that preload
# a library of their own into the program put it before the sanitizer's runtime.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0:verify_asan_link_order=0:abort_on_error=0
export LSAN_OPTIONS=suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=suppressions=$root/tests/sanitizers/tsan.supp:second_deadlock_stack=1:halt_on_error=0

configure() {  # FOLDER CMAKE_ARGS...
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr "$@" >/dev/null
}

services_started=0
services() {
  if [ $services_started = 0 ]; then
    source scripts/services.sh
    services_started=1
  fi
}


part_asan() {
  configure build-asan -DBUILD_TESTING=ON -DTB_SANITIZE=address,undefined
  cmake --build build-asan -j"$jobs"
  services
  bash scripts/run-ctest.sh build-asan
}

# The core's tests (labelled "core"): the schedule's files and texts, the handler
# wrapper, the windows' rules, the worker's end at exit.
part_sanitized_core() {
  configure build-asan -DBUILD_TESTING=ON -DTB_SANITIZE=address,undefined
  cmake --build build-asan -j"$jobs" --target tb_schedule_tests tb_presenter_tests tb_worker_exit_probe
  bash scripts/run-ctest.sh build-asan -L core
}

part_tsan() {
  configure build-tsan -DBUILD_TESTING=ON -DTB_SANITIZE=thread
  cmake --build build-tsan -j"$jobs" --target tb_playback_tests tb_presenter_tests tb_worker_exit_probe
  services
  bash scripts/run-ctest.sh build-tsan -L threads
}

part_fuzz() {
  CC=clang CXX=clang++ configure build-fuzz -DBUILD_TESTING=OFF -DTB_FUZZ=ON -DTB_SANITIZE=address,undefined \
    -DTB_FUZZ_SECONDS="${FUZZ_SECONDS:-60}"
  cmake --build build-fuzz -j"$jobs" --target tb_fuzz_targets
  # One target at a time: each takes a core, and the machine may be shared.
  (cd build-fuzz/tests/fuzz && ctest --output-on-failure -V -j1)
}

part_coverage() {
  configure build-coverage -DBUILD_TESTING=ON -DTB_COVERAGE=ON -DCMAKE_BUILD_TYPE=Debug
  cmake --build build-coverage -j"$jobs"
  find build-coverage -name '*.gcda' -delete
  services
  local status=0
  bash scripts/run-ctest.sh build-coverage || status=$?
  gcovr -r . --object-directory build-coverage -j"$jobs" --exclude 'tests/' --exclude 'bench/' --exclude 'build-coverage/' \
    --exclude-unreachable-branches --exclude-throw-branches --json-summary build-coverage/coverage.json --txt build-coverage/coverage.txt
  python3 scripts/coverage_table.py build-coverage/coverage.json
  return $status
}

parts=("$@")
if [ "${parts[*]:-}" = --ci ]; then
  parts=(sanitized_core fuzz)
else
  [ ${#parts[@]} -gt 0 ] || parts=(asan tsan fuzz coverage)
  bash scripts/install-deps.sh test
fi
times=() failed=()
for part in "${parts[@]}"; do
  declare -F "part_$part" >/dev/null || { echo "check.sh: no part '$part' (asan, tsan, fuzz, coverage)" >&2; exit 2; }
  echo "=== check.sh: $part"
  start=$(date +%s)
  "part_$part" || failed+=("$part")
  times+=("$part $(( $(date +%s) - start ))")
done
echo "=== check.sh: time per part (seconds, building included)"
printf '  %s\n' "${times[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "check.sh: failed: ${failed[*]}" >&2
  exit 1
fi
echo "check.sh: every part passed"
