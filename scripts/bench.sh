#!/usr/bin/env bash
# Runs every benchmark and prints its figures as "name: value" lines.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
. scripts/env.sh
. scripts/session.sh
session_start
trap session_stop EXIT
found=0
for bench in bench/*.sh; do  # each prints its own "name: value" lines
  [ -e "$bench" ] || continue
  found=1
  start=$SECONDS
  bash "$bench"
  echo "bench_$(basename "$bench" .sh)_seconds: $((SECONDS - start))"
done
[ "$found" -eq 1 ] || echo "no benchmarks yet"
