#!/usr/bin/env bash
# CPU time the running program takes over a span (default 60 s) with a 1,000-entry
# schedule that rings nothing meanwhile. Needs TOLLBROOK_TEST_DISPLAY (scripts/services.sh).
#   bash bench/idle_cpu.sh build/tollbrook [seconds]
set -euo pipefail
program=$(readlink -f "$1")
span=${2:-60}
dir=$(mktemp -d /tmp/tollbrook-idle.XXXXXX)
trap 'kill "${pid:-}" 2>/dev/null || true; rm -rf "$dir"' EXIT
cp "$program" "$dir/tollbrook"
: >"$dir/playlist.ini"; : >"$dir/qian.ini"; : >"$dir/hou.ini"
for i in $(seq 0 999); do
  # One a minute, starting two hours from now: none is due while we measure.
  t=$(date -d "+$((120 + i)) min" +%H:%M:%S)
  printf '/srv/bells/bell%d.mp3|%s\r\n' "$i" "$t" >>"$dir/playlist.ini"
  printf '/srv/bells/bell%d.mp3\r\n' "$i" >>"$dir/qian.ini"
  printf '%s\r\n' "$t" >>"$dir/hou.ini"
done
DISPLAY="$TOLLBROOK_TEST_DISPLAY" "$dir/tollbrook" >/dev/null 2>&1 &
pid=$!
sleep 5
ticks=$(getconf CLK_TCK)
before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
sleep "$span"
after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status")
awk -v b="$before" -v a="$after" -v t="$ticks" -v s="$span" -v r="$rss" 'BEGIN {
  cpu = (a - b) / t
  printf "idle over %d s with 1,000 entries: %.2f s of CPU (%.3f%%), resident memory %.1f MiB\n", s, cpu, 100 * cpu / s, r / 1024
}'
