#!/usr/bin/env bash
# Runs a fuzz target for a while from a copy of its seed corpus, on one core (the
# machine is shared), and ends with how many runs it made.
#   run_fuzz.sh TARGET SEED_FOLDER SECONDS [LONGEST_INPUT]
set -euo pipefail
target=$1 seeds=$2 seconds=$3 longest=${4:-4096}
work=$(mktemp -d /tmp/tollbrook-fuzz-corpus.XXXXXX)
trap 'rm -rf "$work" "$work.log"' EXIT
log=$work.log
status=0
"$target" -max_total_time="$seconds" -max_len="$longest" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$work/" "$work" "$seeds" >"$log" 2>&1 || status=$?
if [ $status != 0 ]; then
  cat "$log"
  for crash in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
    [ -e "$crash" ] || continue
    mkdir -p /tmp/tollbrook-fuzz-findings && cp "$crash" /tmp/tollbrook-fuzz-findings/
    echo "$(basename "$target"): input kept in /tmp/tollbrook-fuzz-findings/$(basename "$crash"):"; od -c "$crash" | head -20
  done
  exit $status
fi
grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "$log" | tail -2
rm -f "$log"
