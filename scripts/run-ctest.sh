#!/usr/bin/env bash
# Runs the tests of a build folder as the test scripts do (on every core, each within
# 300 s, with the output of each failed test), then says why each skipped test did not
# run: ctest itself names it and keeps its reason to itself.
#   run-ctest.sh BUILD_DIR [ctest arguments...]
set -uo pipefail
build=$1
shift
report=$(mktemp /tmp/tollbrook-ctest.XXXXXX.xml)
trap 'rm -f "$report"' EXIT
(cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 300 --output-junit "$report" "$@")
status=$?
python3 - "$report" <<'PY'
import sys
import xml.etree.ElementTree as ET

try:
    cases = ET.parse(sys.argv[1]).getroot().iter("testcase")
except (OSError, ET.ParseError):
    sys.exit(0)  # ctest ended before it wrote one: what it said is above
for case in cases:
    if case.get("status") not in ("notrun", "disabled"):
        continue
    out = case.findtext("system-out") or ""
    # GoogleTest's frame lines are no reason.
    reason = [line.strip() for line in out.splitlines()
              if line.strip() and not line.startswith(("[", "Running main()", "Note: Google Test filter"))
              and not line.rstrip().endswith(": Skipped")]
    print("Skipped: %s: %s" % (case.get("name"), " / ".join(reason) or "(it gave no reason)"))
PY
exit $status
