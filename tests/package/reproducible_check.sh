#!/usr/bin/env bash
# The release reproduced: the shipped programs built once more from the same
# sources in another folder, and packed with the same time, give the programs and
# the zip that the package test packed from this build, byte for byte.
# Usage: reproducible_check.sh ZIP WORK_DIR
set -euo pipefail
zip=$1
work=$2
cd "$(dirname "$0")/../.."
root=$PWD
fail() { echo "FAILED: $*"; exit 1; }

rm -rf "$work"; mkdir -p "$work/elsewhere/norvane"
source=$work/elsewhere/norvane
# The sources as they stand (tracked and new files, changes included).
git ls-files -z --cached --others --exclude-standard |
  tar --null --ignore-failed-read -T - -cf - | tar -xf - -C "$source"
ln -s "$root/.deps" "$source/.deps"
cmake -S "$source" -B "$source/build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTS=OFF >"$work/build.log" 2>&1 || fail "configuring the second build"
cmake --build "$source/build" -j"$(nproc)" --target norvexec doziruzidive themeview dozsettings \
  >>"$work/build.log" 2>&1 || { tail -n 20 "$work/build.log"; fail "the second build"; }
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)} env -u NORVANE_SIGN_PFX -u NORVANE_SIGN_PASSWORD \
  "$source/scripts/package.sh" --output "$work/dist" >"$work/package.log" || fail "packing the second build"
grep -q '^package: unsigned' "$work/package.log" || fail "no word that the package is unsigned"

status=0
for file in norvexec.exe doziruzidive.exe themeview.exe dozsettings.exe; do
  cmp -s "build/bin/$file" "$source/build/bin/$file" || { echo "$file differs"; status=1; }
done
cmp "$zip" "$work/dist/$(basename "$zip")" || status=1
[ "$status" -eq 0 ] || fail "the second build differs"
grep '^sha256: ' "$work/package.log"
rm -rf "$work"
