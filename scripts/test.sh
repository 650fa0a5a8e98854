#!/usr/bin/env bash
# Sets up, builds, and runs every test program under Wine with one Xvfb display:
#   scripts/test.sh [-R PROGRAM_PATTERN] [other ctest options]
# each program whole in one Wine process; GTEST_FILTER (gtest's own) picks cases in it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
. scripts/env.sh
. scripts/session.sh
session_start
trap session_stop EXIT
ctest --test-dir build --output-on-failure --no-tests=error "$@" </dev/null
