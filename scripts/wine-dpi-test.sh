#!/usr/bin/env bash
# CTest's launcher for a test program that must see a screen of another DPI:
#   wine-dpi-test.sh DPI PROGRAM [ARGUMENT...]
# The program runs with a display and a Wine server of its own, in a copy of the
# project's prefix with LogPixels set to DPI, so that every other test stays at
# 96 dpi, also when this one fails or is killed. The screen is 1024 x 768 at 96 dpi
# made as many pixels larger as the DPI is. The copy shares Wine's own libraries
# with the prefix through hard links (nothing writes there) and has everything
# else (registry, users' folders) to itself.
set -uo pipefail
dpi=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/env.sh"
. "$root/scripts/session.sh"
prefix=$WINEPREFIX
copy=$root/build/wine-dpi-$dpi
shared=(drive_c/windows/system32 drive_c/windows/winsxs)

remove_copy() {
  WINEPREFIX=$copy wineserver -k >/dev/null 2>&1
  WINEPREFIX=$copy wineserver -w >/dev/null 2>&1
  rm -rf "$copy"
}
remove_copy
mkdir -p "$copy"
trap remove_copy EXIT
# The running Wine server of the other tests may save its registry meanwhile: it
# writes a temporary file and renames it, so tar may find the folder changed
# (status 1, a warning) and the temporary file is left out; what was read is whole.
tar -C "$prefix" "${shared[@]/#/--exclude=./}" --exclude='./reg*.tmp' \
    --warning=no-file-changed --warning=no-file-removed -cf - . \
  | tar -C "$copy" -xf -
status=("${PIPESTATUS[@]}")
if [ "${status[0]}" -gt 1 ] || [ "${status[1]}" -ne 0 ]; then
  echo "wine-dpi-test: could not copy the prefix"; exit 1
fi
for folder in "${shared[@]}"; do
  cp -al "$prefix/$folder" "$copy/$folder" || { echo "wine-dpi-test: could not link $folder"; exit 1; }
done

export WINEPREFIX=$copy
trap 'session_stop; remove_copy' EXIT
session_start "$((1024 * dpi / 96))x$((768 * dpi / 96))" || exit 1
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null \
  || { echo "wine-dpi-test: could not set LogPixels to $dpi"; exit 1; }
NORVANE_TEST_DPI=$dpi "$root/scripts/wine-test.sh" "$@"
