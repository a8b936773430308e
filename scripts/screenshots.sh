#!/usr/bin/env bash
# Takes the README's screenshots from the real program on a private X server with a
# window manager and a notification area: docs/screenshots/{main-window,editor,tray-menu}.png,
# and every window and box at scale 1 and 2, in the light palette and in a dark one:
# docs/screenshots/{light,dark}-{1,2}/*.png.
# Run after a build (scripts/build.sh); needs the test group of scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/screenshots
work=$(mktemp -d)
pids=()
stop() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; pids=(); sleep 0.3; }
cleanup() { stop; rm -rf "$work"; }
trap cleanup EXIT

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
mkdir "$work/.day"; cp "$work"/*.ini "$work/.day/"

# A dark desktop palette, as a KDE session hands it to every Qt program.
mkdir -p "$work/dark"
cat >"$work/dark/kdeglobals" <<'KDE'
[Colors:Window]
BackgroundNormal=63,63,54
ForegroundNormal=220,220,204
[Colors:View]
BackgroundNormal=43,43,38
ForegroundNormal=220,220,204
[Colors:Button]
BackgroundNormal=63,63,54
ForegroundNormal=220,220,204
[Colors:Selection]
BackgroundNormal=42,96,153
ForegroundNormal=255,255,255
[Colors:Tooltip]
BackgroundNormal=63,63,54
ForegroundNormal=220,220,204
KDE

window() { timeout 15 xdotool search --sync --onlyvisible --name "$1" | head -n1; }
# A window with the window manager's frame, so that its caption shows.
frame() {
  local id=$1 root parent
  root=$(xwininfo -root | awk '/Window id:/ {print $4}')
  for _ in 1 2 3 4; do
    parent=$(xwininfo -tree -id "$id" | awk '/Parent window id:/ {print $4}')
    [ -z "$parent" ] || [ "$((parent))" -eq "$((root))" ] && break
    id=$parent
  done
  echo "$id"
}
# The frame cut from the screen, with the program's window pasted in: a window of
# another depth than the screen's shows black in the screen's image.
geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
shot() {
  local fx fy fw fh cx cy
  read -r fx fy fw fh <<<"$(geometry "$(frame "$1")")"
  read -r cx cy _ _ <<<"$(geometry "$1")"
  xwd -silent -root | xwdtopnm 2>/dev/null | pnmcut -left "$fx" -top "$fy" -width "$fw" -height "$fh" >"$work/frame.pnm"
  xwd -silent -id "$1" | xwdtopnm 2>/dev/null >"$work/client.pnm"
  pnmpaste "$work/client.pnm" $((cx - fx)) $((cy - fy)) "$work/frame.pnm" | pnmtopng >"$2"
}
# The window that has the focus once a box or dialog has opened.
active() { sleep 1; xdotool getactivewindow; }

# One desktop: X server, window manager, notification area and the program, at a scale
# and in a palette.
desktop() {
  local scale=$1 palette=$2
  exec 9>"$work/display"
  Xvfb -displayfd 9 -screen 0 "$((1280 * ${scale%.*}))x$((800 * ${scale%.*}))x24" -nolisten tcp >/dev/null 2>&1 &
  pids+=($!)
  exec 9>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$work/display")"
  : >"$work/display"
  openbox --sm-disable >/dev/null 2>&1 &
  pids+=($!)
  trayer --edge bottom --align right --widthtype request --height 24 --SetDockType true --transparent false \
    >/dev/null 2>&1 &
  pids+=($!)
  cp "$work/.day/"*.ini "$work/"
  if [ "$palette" = dark ]; then
    env QT_SCALE_FACTOR="$scale" XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5 KDE_FULL_SESSION=true \
      XDG_CONFIG_HOME="$work/dark" LC_ALL=C.UTF-8 "$work/tollbrook" >/dev/null 2>&1 &
  else
    env QT_SCALE_FACTOR="$scale" LC_ALL=C.UTF-8 "$work/tollbrook" >/dev/null 2>&1 &
  fi
  pids+=($!)
}

# Every window and box of the program, into folder $1.
windows() {
  local dir=$1
  mkdir -p "$dir"
  main=$(window '^Tollbrook$')
  sleep 1.5
  shot "$main" "$dir/main-window.png"
  xdotool windowactivate --sync "$main"

  # The file dialog of the Play button: the list has the focus, the button is five
  # Tab stops further.
  xdotool key --delay 80 Tab Tab Tab Tab Tab space
  shot "$(active)" "$dir/file-dialog.png"
  xdotool key Escape
  sleep 0.5

  xdotool key --delay 80 alt+o e
  editor=$(window '^Edit Playlist$')
  sleep 1
  shot "$editor" "$dir/editor.png"
  xdotool key --delay 80 alt+s
  shot "$(active)" "$dir/update-success.png"
  xdotool key Return
  sleep 0.5
  xdotool key --delay 80 alt+c
  sleep 0.7
  xdotool key Escape
  sleep 0.5

  xdotool windowactivate --sync "$main"
  xdotool key --delay 80 alt+o v
  view=$(window '^Existing repertoire view$')
  sleep 0.7
  shot "$view" "$dir/view.png"
  xdotool key Escape

  xdotool windowactivate --sync "$main"
  xdotool key --delay 80 alt+a a
  about=$(window '^About software$')
  sleep 0.7
  shot "$about" "$dir/about.png"
  xdotool key Escape

  xdotool windowactivate --sync "$main"
  xdotool key --delay 80 alt+a Return
  buy=$(window '^Buy Source Code$')
  sleep 0.7
  shot "$buy" "$dir/buy-source-code.png"
  wmctrl -c 'Buy Source Code'
  sleep 0.5

  xdotool windowactivate --sync "$main"
  xdotool key --delay 80 alt+e
  shot "$(active)" "$dir/exit-question.png"
  xdotool key Escape
}

desktop 1 light
windows "$out/light-1"
cp "$out/light-1/main-window.png" "$out/main-window.png"
cp "$out/light-1/editor.png" "$out/editor.png"
# The tray menu opens on the right button at the icon, bottom right.
panel=$(xdotool search --name '^panel$' | head -n1)
icon=$(xwininfo -tree -id "$panel" | grep '"Tollbrook"' | awk '{print $1}' | head -n1)
eval "$(xdotool getwindowgeometry --shell "$icon")"
xdotool mousemove $((X + 10)) $((Y + 10)) click 3
sleep 1
# The corner of the screen with the panel and the menu above it.
xwd -silent -root | xwdtopnm 2>/dev/null | pnmcut -left 1000 -top 620 -width 280 -height 180 | pnmtopng >"$out/tray-menu.png"
xdotool key Escape
stop

for variant in "1 dark" "2 light" "2 dark"; do
  read -r scale palette <<<"$variant"
  desktop "$scale" "$palette"
  windows "$out/$palette-$scale"
  stop
done
echo "screenshots in $out/"
