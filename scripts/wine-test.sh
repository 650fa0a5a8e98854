#!/usr/bin/env bash
# CTest's launcher for one test program under Wine. Now and then (about once in a
# thousand starts here) Wine fails to start a program at all: it exits at once,
# non-zero, without a line of output, before any code of the test could run. Such
# a start is made once more, and said so; a program that ran is never repeated.
set -uo pipefail
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for attempt in 1 2; do
  started=$(date +%s%N)
  wine "$@" 2>&1 | tee "$log"
  status=${PIPESTATUS[0]}
  elapsed_ms=$((($(date +%s%N) - started) / 1000000))
  if [ "$status" -eq 0 ] || [ -s "$log" ] || [ "$elapsed_ms" -ge 1000 ] || [ "$attempt" -eq 2 ]; then
    exit "$status"
  fi
  echo "wine-test: Wine ended the program after ${elapsed_ms} ms with status $status and no output; starting it again"
done
