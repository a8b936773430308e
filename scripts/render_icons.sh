#!/usr/bin/env bash
# Renders resources/icons/tollbrook.svg into the PNG sizes that desktops ask for; the
# PNGs are committed, so building needs nothing of this. Needs rsvg-convert (Debian's
# librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../resources/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" tollbrook.svg -o "tollbrook-$size.png"
done
# The Windows program's icon: one .ico with the small sizes as bitmaps and 256 as PNG.
# Needs icotool (Debian's icoutils).
icotool -c -o tollbrook.ico tollbrook-16.png tollbrook-24.png tollbrook-32.png tollbrook-48.png tollbrook-64.png \
  --raw=tollbrook-256.png
