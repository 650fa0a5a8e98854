#!/usr/bin/env bash
# CTest's launcher for a test program of a lane: runs the rest of the command line
# in the lane's prefix and display when scripts/test.sh has started that lane, in
# the session's otherwise (ctest run by hand):  wine-lane.sh NAME COMMAND...
lane=$1
shift
copy=$(cd "$(dirname "$0")/.." && pwd)/build/wine-lane-$lane
if [ -f "$copy/.display" ]; then
  export WINEPREFIX=$copy DISPLAY
  DISPLAY=$(cat "$copy/.display")
fi
exec "$@"
