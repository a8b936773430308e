#!/usr/bin/env bash
# Cross-builds the Windows program without its tests into build-windows-release/ and
# makes what a school downloads: tollbrook-<version>-setup.exe (installs under Program
# Files, each user's schedule in %APPDATA%\Tollbrook) and
# tollbrook-<version>-windows-portable.zip (tollbrook.exe alone, its schedule beside it).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh windows
# -O2 as Debian builds (g++ 12 warns falsely at -O3, GCC bug 105329), stripped: the
# program statically linked carries the C++ runtime's symbols otherwise.
cmake -S . -B build-windows-release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS_RELEASE=-s \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build build-windows-release -j"$(nproc)" --target tb_setup tb_portable_zip
ls build-windows-release/tollbrook-*-setup.exe build-windows-release/tollbrook-*-windows-portable.zip
