#!/usr/bin/env bash
# Configures and builds into build/ (the program is build/tollbrook).
#   build.sh            the program only
#   build.sh --tests    the program, its tests and its benchmarks
set -euo pipefail
cd "$(dirname "$0")/.."
tests=OFF
[ "${1:-}" = "--tests" ] && tests=ON
# Installed (as the Debian package does) it would live in /usr; run from build/ it keeps
# its schedule beside itself.
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=$tests -DTB_WARNINGS_AS_ERRORS=ON >/dev/null
if [ $tests = ON ]; then
  cmake --build build -j"$(nproc)"
else
  cmake --build build -j"$(nproc)" --target tollbrook tollbrook-demo
fi
