#!/usr/bin/env bash
# Builds the Debian package into build-deb/ (tollbrook_<version>_<arch>.deb), installed
# under /usr: install it with  sudo apt install ./build-deb/tollbrook_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
# dpkg-shlibdeps works out the package's library dependencies.
dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q 'ok installed' || {
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get install -y -qq --no-install-recommends dpkg-dev
}
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF >/dev/null
cmake --build build-deb -j"$(nproc)" --target tollbrook
(cd build-deb && cpack -G DEB)
ls build-deb/tollbrook_*.deb
