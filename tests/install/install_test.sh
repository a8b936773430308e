#!/usr/bin/env bash
# Installs the program into a temporary prefix and compares what is there with what an
# installed desktop program holds, no more and no less.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
actual=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)
expected=$(
  {
    echo bin/tollbrook
    echo share/applications/org.tollbrook.Tollbrook.desktop
    echo share/metainfo/org.tollbrook.Tollbrook.metainfo.xml
    echo share/icons/hicolor/scalable/apps/org.tollbrook.Tollbrook.svg
    for s in 16 22 24 32 48 64 128 256; do echo "share/icons/hicolor/${s}x${s}/apps/org.tollbrook.Tollbrook.png"; done
    echo share/doc/tollbrook/copyright
    echo share/doc/tollbrook/changelog.gz
    echo share/man/man1/tollbrook.1.gz
  } | sort
)
if [ "$actual" != "$expected" ]; then
  echo "installed files differ from the expected ones:"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
"$prefix/bin/tollbrook" --version
