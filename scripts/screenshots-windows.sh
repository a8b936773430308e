#!/usr/bin/env bash
# Takes the Windows program's screenshots under Wine, from the real tollbrook.exe on a
# Wine desktop (which draws the windows' frames as Windows does) on the test services:
# docs/screenshots/windows/*.png. Run after the Windows build (scripts/test-windows.sh
# or cmake --build build-windows); needs the windows group of scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build-windows/tollbrook.exe ] || { echo "build the Windows program first (build-windows/)" >&2; exit 1; }

if [ -z "${TOLLBROOK_TEST_DISPLAY:-}" ]; then
  source scripts/services.sh
  trap 'wine_stop; services_stop' EXIT
else
  trap 'wine_stop' EXIT
fi
source scripts/wine-env.sh

export TB_PROGRAM=$PWD/build-windows/tollbrook.exe
export TB_PROBE=$PWD/build-windows/tests/tb_win32_probe.exe
/usr/bin/python3 scripts/screenshots_windows.py docs/screenshots/windows
