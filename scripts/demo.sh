#!/usr/bin/env bash
# Runs every bundled demo (demo/*/run.sh) with a display and a warm Wine server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
. scripts/env.sh
. scripts/session.sh
session_start
trap session_stop EXIT
for run in demo/*/run.sh; do
  bash "$run"
done
