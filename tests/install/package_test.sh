#!/usr/bin/env bash
# Makes the Debian package from the build and checks it: its control fields, what it
# installs, and that the packaged program runs.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
deb=$(ls "$work"/tollbrook_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
fail() { echo "$1"; exit 1; }

[ "$(field Package)" = tollbrook ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.01 ] || fail "Version: $(field Version)"
[ "$(field Section)" = sound ] || fail "Section: $(field Section)"
depends=$(field Depends)
# Computed from the libraries the program links...
for lib in libqt6widgets6 libgstreamer1.0-0 libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
# ...and what the libraries do not say.
for p in gstreamer1.0-plugins-good gstreamer1.0-plugins-bad timgm6mb-soundfont; do
  grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done
# The windows' fonts: Tahoma's metrics and the CJK glyphs.
for p in fonts-wine fonts-wqy-microhei; do grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"; done
grep -qv pulseaudio <<<"$depends" || true
if grep -qE '(^|, )pulseaudio( |,|$)' <<<"$depends"; then fail "the package must not pull in a sound server: $depends"; fi

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/tollbrook ./usr/share/applications/org.tollbrook.Tollbrook.desktop \
         ./usr/share/metainfo/org.tollbrook.Tollbrook.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/org.tollbrook.Tollbrook.svg \
         ./usr/share/icons/hicolor/48x48/apps/org.tollbrook.Tollbrook.png; do
  grep -qx "$f" <<<"$contents" || fail "the package lacks $f"
done
if grep -qE 'tb_|bench|test' <<<"$contents"; then fail "the package holds test files: $contents"; fi

dpkg-deb -x "$deb" "$work/root"
version=$("$work/root/usr/bin/tollbrook" --version)
[ "$version" = "Tollbrook 1.01" ] || fail "--version said: $version"
echo "$deb: $(field Package) $(field Version), $(wc -l <<<"$contents") entries"
