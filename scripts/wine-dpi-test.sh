#!/usr/bin/env bash
# CTest's launcher for a test program that must see a screen of another DPI:
#   wine-dpi-test.sh DPI PROGRAM [ARGUMENT...]
# The program runs with a display and a Wine server of its own, in a copy of the
# project's prefix with LogPixels set to DPI, so that every other test stays at
# 96 dpi, also when this one fails or is killed. The screen is 1024 x 768 at 96 dpi
# made as many pixels larger as the DPI is.
set -uo pipefail
dpi=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
lane_prefix=${WINEPREFIX:-}
. "$root/scripts/env.sh"
. "$root/scripts/session.sh"
# The copy is of the prefix it was started in (a lane's), the project's otherwise.
[ -z "$lane_prefix" ] || export WINEPREFIX=$lane_prefix
copy=$root/build/wine-dpi-$dpi-$(basename "$1" .exe)
trap 'prefix_remove "$copy"' EXIT
prefix_copy "$copy" || exit 1

export WINEPREFIX=$copy
trap 'session_stop; prefix_remove "$copy"' EXIT
session_start "$((1024 * dpi / 96))x$((768 * dpi / 96))" || exit 1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null \
  || { echo "wine-dpi-test: could not set LogPixels to $dpi"; exit 1; }
NORVANE_TEST_DPI=$dpi "$root/scripts/wine-test.sh" "$@"
