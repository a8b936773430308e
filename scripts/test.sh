#!/usr/bin/env bash
# Installs what is missing, builds, starts the services the tests need (an X server with
# a window manager, and a PulseAudio server with a null sink, both private to this run)
# and runs every test; then the core's and presenters' tests again under AddressSanitizer
# and UBSan, and each fuzz target for a minute (scripts/check.sh --ci); then the Windows
# core's, cross-built and run under Wine on the same servers (scripts/test-windows.sh).
# Each part runs even when one before it failed, so that one run shows every failure.
set -euo pipefail
cd "$(dirname "$0")/.."
# The tests' texts and file names are UTF-8 whatever locale the caller has, or has not
# (Wine, for one, names files in the locale's character set).
unset LANGUAGE
export LANG=C.UTF-8 LC_ALL=C.UTF-8
bash scripts/install-deps.sh test
bash scripts/build.sh --tests
source scripts/services.sh
linux=0 checked=0 windows=0
bash scripts/run-ctest.sh build || linux=$?
FUZZ_SECONDS=${FUZZ_SECONDS:-60} bash scripts/check.sh --ci || checked=$?
bash scripts/test-windows.sh || windows=$?
[ $linux = 0 ] || echo "test.sh: the Linux tests failed (above, before the sanitized ones)" >&2
[ $checked = 0 ] || echo "test.sh: the sanitized core tests or a fuzz target failed (above, before the Windows tests)" >&2
[ $windows = 0 ] || echo "test.sh: the Windows tests failed" >&2
[ $linux = 0 ] && [ $checked = 0 ] && [ $windows = 0 ]
