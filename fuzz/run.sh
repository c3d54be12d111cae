#!/usr/bin/env bash
# Runs every fuzz target built in BUILD for SECONDS each, starting from its
# seed corpus in fuzz/corpus/<name>/ (never written to: new inputs go to
# BUILD/fuzz-work/<name>/). Fails on the first crash, sanitizer report, leak,
# hang (-timeout) or memory blow-up (-rss_limit_mb); the input that did it is
# left in BUILD/fuzz-findings/.
#   fuzz/run.sh [BUILD] [SECONDS]     (defaults: build-fuzz, 25)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build-fuzz}" && pwd)
seconds=${2:-25}
mkdir -p "$build/fuzz-findings"
rm -f "$build/fuzz-findings"/*
status=0
for exe in "$build"/fuzz/fuzz_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name=$(basename "$exe"); name=${name#fuzz_}
  work="$build/fuzz-work/$name"
  mkdir -p "$work"
  args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$build/fuzz-findings/$name-")
  [ -f "$here/$name.dict" ] && args+=(-dict="$here/$name.dict")
  log="$build/fuzz-work/$name.log"
  # Qt's warnings about odd files would flood the log; the findings are what counts.
  if QT_LOGGING_RULES='*.debug=false;*.warning=false' "$exe" "${args[@]}" "$work" "$here/corpus/$name" >"$log" 2>&1; then
    runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -1 | grep -o '[0-9]*' || echo '?')
    echo "fuzz $name: $runs executions in ${seconds}s, no finding"
  else
    echo "fuzz $name: FINDING (see $log and $build/fuzz-findings/)"
    tail -40 "$log"
    status=1
  fi
done
exit $status
