#!/usr/bin/env bash
# Builds the Debian package into build-deb/ (tollbrook_<version>_<arch>.deb, and its
# debug symbols tollbrook-dbgsym_<version>_<arch>.ddeb), installed under /usr: install
# it with  sudo apt install ./build-deb/tollbrook_*.deb
# The package's Maintainer is TB_PACKAGE_MAINTAINER, or DEBFULLNAME and DEBEMAIL, or
# the git identity of this checkout.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh build
# dpkg-shlibdeps works out the package's library dependencies.
dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q 'ok installed' || {
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get install -y -qq --no-install-recommends dpkg-dev
}
# Debian's build flags (-O2 with debug information and hardening), as Debian builds its
# own packages. -O3 is left alone: g++ 12 warns falsely there (-Wrestrict, GCC bug
# 105329) where a one-character literal is assigned to a std::string.
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr -DBUILD_TESTING=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  ${TB_PACKAGE_MAINTAINER:+-DTB_PACKAGE_MAINTAINER="$TB_PACKAGE_MAINTAINER"} >/dev/null
cmake --build build-deb -j"$(nproc)" --target tollbrook tb_documents
# The program stripped, its debug information in tollbrook-dbgsym_<version>_<arch>.ddeb.
(cd build-deb && cpack -G DEB)
ls build-deb/tollbrook_*.deb build-deb/tollbrook-dbgsym_*.ddeb
