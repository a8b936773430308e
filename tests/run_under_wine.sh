#!/usr/bin/env bash
# Runs a Windows test program under Wine for ctest (the build's cross-compiling
# emulator), and says what happened when it does not end well: a Windows process may
# end with nothing but an exit code, of which Unix keeps the low byte (an access
# violation, 0xC0000005, ends as 5), and scripts/wine-env.sh keeps Wine's own messages
# quiet. They stay quiet here too: DirectShow's renderer writes its errors from its
# audio thread while the MCI tests listen at the sound server.
#   run_under_wine.sh PROGRAM.exe [ARGUMENTS...]
wine=/usr/lib/wine/wine64
start=$SECONDS
"$wine" "$@"
status=$?
[ $status -eq 0 ] && exit 0
if [ $status -gt 128 ]; then
  how="Wine was ended by signal $((status - 128)) ($(kill -l $((status - 128)) 2>/dev/null))"
elif [ $status -eq 1 ]; then
  how="status 1, as a test program ends when a test fails"
else
  how="status $status, the low byte of the Windows exit code (3: abort or an uncaught exception, 5: an access violation)"
fi
echo "run_under_wine: $(basename "$1") ${*:2} ended after $((SECONDS - start)) s with $how." \
  "Wine's own errors: run it again with WINEDEBUG=err+all" >&2
exit $status
