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
# For the tests only: MIDI through MPEGVideo (the host's GStreamer decodes it), since a
# sandbox has no MIDI output device for Wine's sequencer. Windows uses its sequencer.
for ext in mid midi rmi; do
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\MCI Extensions' /v $ext /d MPEGVideo /f \
    </dev/null >/dev/null 2>&1
done
# Wine records through its default capture device: the null sink's monitor, so that a
# test hears what the media layer plays.
pactl set-default-source "$TOLLBROOK_TEST_SINK.monitor" >/dev/null
