# Sourced by the Windows test and benchmark scripts, after scripts/services.sh: a Wine
# prefix private to this run on the run's X server and sound server, with one
# wineserver and Wine's services started once. Exports WINEPREFIX and the Wine
# variables, and `wine` and `wineserver` (Debian puts neither wine64 nor wineserver on
# PATH). The caller's EXIT trap calls wine_stop.
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/tollbrook-wine.XXXXXX)
export WINEARCH=win64 WINEDEBUG=-all
# No debugger for a crashing test (it would wait for ever), no menu entries in $HOME.
export WINEDLLOVERRIDES="winedbg.exe=d;winemenubuilder.exe=d"
export DISPLAY=$TOLLBROOK_TEST_DISPLAY

wine_stop() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}

# One server with Wine's services for the whole run; each process would otherwise start
# them anew (about 2.5 s). Their standard streams must not be ctest's pipes.
"$wineserver" -p </dev/null >/dev/null 2>&1
"$wine" wineboot --init </dev/null >/dev/null 2>&1
# Registry settings of the test prefix, in one import (each Wine process costs a second):
# - for the tests only, MIDI through MPEGVideo (the host's GStreamer decodes it, with
#   the program's own MIDI decoder: scripts/test-windows.sh), since
#   a sandbox has no MIDI output device for Wine's sequencer; Windows uses its sequencer;
# - what a user's Windows has for the program's texts: an East Asian font linked to the
#   dialog fonts, so that the full-width question marks and the Chinese filter names of
#   the file dialogs show (fonts-wqy-microhei, which Wine finds through fontconfig);
#   and Marlett, in which the caption buttons are drawn (Wine does not find its own).
wine_multi_sz() {  # a one-string REG_MULTI_SZ as the hex of an ANSI .reg file
  printf '%s\0\0' "$1" | od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//'
}
wine_reg=$WINEPREFIX/tollbrook-tests.reg
{
  echo 'REGEDIT4'
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\MCI Extensions]'
  for ext in mid midi rmi; do echo "\"$ext\"=\"MPEGVideo\""; done
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]'
  for face in 'Tahoma' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif' 'Segoe UI'; do
    echo "\"$face\"=hex(7):$(wine_multi_sz 'wqy-microhei.ttc,WenQuanYi Micro Hei')"
  done
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]'
  echo '"Marlett (TrueType)"="marlett.ttf"'
} >"$wine_reg"
cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
"$wine" reg import "Z:${wine_reg//\//\\}" </dev/null >/dev/null 2>&1
# Wine records through its default capture device: the null sink's monitor, so that a
# test hears what the media layer plays.
pactl set-default-source "$TOLLBROOK_TEST_SINK.monitor" >/dev/null

# Wine closes the default desktop about a second after the last process on it has ended
# (its explorer.exe exits), and a process that starts while it closes waits ten seconds
# or more for a desktop, twice over when it makes windows: a run of many short test
# processes would take minutes longer. A process that stays on the desktop for the whole
# run keeps it open; the probe of the Windows system tests is one (its `hold`).
wine_hold_desktop() {  # PROBE.exe
  local said=$WINEPREFIX/holding
  "$wine" "$1" hold </dev/null >"$said" 2>/dev/null &
  for _ in $(seq 100); do
    grep -q holding "$said" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "error: $1 did not hold the Wine desktop" >&2
  return 1
}
