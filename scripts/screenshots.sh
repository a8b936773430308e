#!/usr/bin/env bash
# Takes the README's screenshots from the real program on a private X server with a
# window manager and a notification area: docs/screenshots/{main-window,editor,tray-menu}.png.
# Run after a build (scripts/build.sh); needs the test group of scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/screenshots
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap cleanup EXIT

exec 9>"$work/display"
Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 9>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true --transparent false \
  >/dev/null 2>&1 &
pids+=($!)

# The program in a folder of its own, with a school day's schedule.
cp build/tollbrook "$work/"
: >"$work/playlist.ini"; : >"$work/qian.ini"; : >"$work/hou.ini"
while read -r path time; do
  printf '%s|%s\r\n' "$path" "$time" >>"$work/playlist.ini"
  printf '%s\r\n' "$path" >>"$work/qian.ini"
  printf '%s\r\n' "$time" >>"$work/hou.ini"
done <<'DAY'
/srv/bells/rising.mp3 06:30:00
/srv/bells/breakfast.mp3 07:00:00
/srv/bells/morning-study.mid 07:20:00
/srv/bells/first-class.wav 08:00:00
/srv/bells/break.wav 08:45:00
/srv/bells/eye-exercises.mp3 10:05:00
/srv/bells/lunch.mp3 12:00:00
/srv/bells/campus-radio.mp3 12:20:00
/srv/bells/afternoon-class.wav 14:00:00
/srv/bells/dinner.mp3 17:30:00
/srv/bells/evening-study.mid 19:00:00
/srv/bells/lights-out.mp3 21:30:00
DAY
LC_ALL=C.UTF-8 "$work/tollbrook" >/dev/null 2>&1 &
pids+=($!)

window() { timeout 15 xdotool search --sync --onlyvisible --name "$1" | head -n1; }
shot() { xwd -silent -frame -id "$1" | xwdtopnm 2>/dev/null | pnmtopng >"$2"; }

main=$(window '^Tollbrook$')
sleep 1.5
shot "$main" "$out/main-window.png"

xdotool windowactivate --sync "$main"
xdotool key --delay 80 alt+o e
editor=$(window '^Edit Playlist$')
sleep 1
shot "$editor" "$out/editor.png"
xdotool key --delay 80 alt+c
sleep 0.7
xdotool key Escape

# The tray menu opens on the right button at the icon, bottom right.
panel=$(xdotool search --name '^panel$' | head -n1)
icon=$(xwininfo -tree -id "$panel" | grep '"Tollbrook"' | awk '{print $1}' | head -n1)
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + 10)) $((Y + 10)) click 3
sleep 1
# The corner of the screen with the panel and the menu above it.
xwd -silent -root | xwdtopnm 2>/dev/null | pnmcut -left 1000 -top 620 -width 280 -height 180 | pnmtopng >"$out/tray-menu.png"
xdotool key Escape
echo "screenshots in $out/"
