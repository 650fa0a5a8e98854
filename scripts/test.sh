#!/usr/bin/env bash
# Sets up, builds, and runs every test program under Wine with one Xvfb display:
#   scripts/test.sh [-R PROGRAM_PATTERN] [other ctest options]
# each program whole in one Wine process; GTEST_FILTER (gtest's own) picks cases in it.
# Two programs run at a time: the archiver's in a lane of their own (a prefix copy,
# display and Wine server), every other in the session's.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
. scripts/env.sh
. scripts/session.sh
session_start
trap 'lane_stop archiver; session_stop' EXIT
lane_start archiver
ctest --test-dir build --output-on-failure --no-tests=error -j2 "$@" </dev/null
