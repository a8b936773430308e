#!/usr/bin/env bash
# Makes the Debian package from the build and checks it: its control fields, what it
# installs, lintian's verdict, the stripped program with its debug symbols beside it,
# and that the packaged program runs.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >/dev/null)
deb=$(ls "$work"/tollbrook_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
fail() { echo "$1"; exit 1; }

expect_field() { [ "$(field "$1")" = "$2" ] || fail "$1: expected $2, got \"$(field "$1")\""; }
expect_field Package tollbrook
expect_field Version 1.01
expect_field Section sound
depends=$(field Depends)
# Computed from the libraries the program links...
for lib in libqt6widgets6 libgstreamer1.0-0 libfluidsynth3 libc6; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done
# ...and what the libraries do not say.
for p in gstreamer1.0-plugins-good timgm6mb-soundfont; do
  grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"
done
# MIDI plays through libfluidsynth itself, without GStreamer's 140 packages of -bad.
if grep -q gstreamer1.0-plugins-bad <<<"$depends"; then fail "Depends names gstreamer1.0-plugins-bad: $depends"; fi
# The windows' fonts: Tahoma's metrics and the CJK glyphs.
for p in fonts-wine fonts-wqy-microhei; do grep -q "$p" <<<"$depends" || fail "Depends lacks $p: $depends"; done
grep -qv pulseaudio <<<"$depends" || true
if grep -qE '(^|, )pulseaudio( |,|$)' <<<"$depends"; then fail "the package must not pull in a sound server: $depends"; fi

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/tollbrook ./usr/share/applications/org.tollbrook.Tollbrook.desktop \
         ./usr/share/man/man1/tollbrook.1.gz ./usr/share/doc/tollbrook/changelog.gz \
         ./usr/share/metainfo/org.tollbrook.Tollbrook.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/org.tollbrook.Tollbrook.svg \
         ./usr/share/icons/hicolor/48x48/apps/org.tollbrook.Tollbrook.png; do
  grep -qx "$f" <<<"$contents" || fail "the package lacks $f"
done
if grep -qE 'tb_|bench|test' <<<"$contents"; then fail "the package holds test files: $contents"; fi

# Lintian: no error and no warning (its notes are printed; root is warned about).
lintian_out=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' || true)
if grep -qE '^[EW]: ' <<<"$lintian_out"; then fail "lintian: $lintian_out"; fi
[ -z "$lintian_out" ] || echo "lintian: $lintian_out"
# The maintainer is the builder's address or the project's, never a placeholder (lintian
# rejects root@localhost; example.com is nobody's).
maintainer=$(field Maintainer)
grep -q '^[^<]* <[^@> ]*@[^> ]*>$' <<<"$maintainer" || fail "Maintainer: expected Name <address>, got \"$maintainer\""
if grep -qE '@(localhost|example\.com)>' <<<"$maintainer"; then fail "Maintainer: a placeholder: $maintainer"; fi
[ -z "$(field Homepage)" ] || fail "Homepage: $(field Homepage)"

dpkg-deb -x "$deb" "$work/root"
# Stripped, and the debug information in the dbgsym package under the build id.
program="$work/root/usr/bin/tollbrook"
if readelf -S "$program" | grep -q '\.debug_info'; then fail "usr/bin/tollbrook is not stripped"; fi
build_id=$(readelf -n "$program" | sed -n 's/^ *Build ID: //p')
[ -n "$build_id" ] || fail "usr/bin/tollbrook has no build id"
ddeb=$(ls "$work"/tollbrook-dbgsym_*.ddeb) || fail "no debug symbols package"
dpkg-deb -x "$ddeb" "$work/dbg"
debug="$work/dbg/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug"
readelf -S "$debug" 2>/dev/null | grep -q '\.debug_info' || fail "no debug information at $debug"
zcat "$work/root/usr/share/man/man1/tollbrook.1.gz" | grep -q '^\.SH FILES' || fail "the manual page has no FILES"
version=$("$work/root/usr/bin/tollbrook" --version)
[ "$version" = "Tollbrook 1.01" ] || fail "--version said: $version"
echo "$deb: $(field Package) $(field Version), $(wc -l <<<"$contents") entries"
