#!/usr/bin/env bash
# The release reproduced: the sources configured and built once more in another
# folder give the same program, byte for byte, and packed with the same time the
# same zip that the package test packed from this build. What could tie a program
# to its folder or its build time (the compiler's and linker's options, the
# resources, the packing) is the project's for every program alike, so the second
# build makes the smallest program, with its resources; the others are this
# build's own.
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
cmake --build "$source/build" -j"$(nproc)" --target dozsettings \
  >>"$work/build.log" 2>&1 || { tail -n 20 "$work/build.log"; fail "the second build"; }
cmp -s build/bin/dozsettings.exe "$source/build/bin/dozsettings.exe" || fail "dozsettings.exe differs when built elsewhere"
for file in norvexec.exe doziruzidive.exe themeview.exe archivecli.exe; do cp "build/bin/$file" "$source/build/bin/"; done
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)} env -u NORVANE_SIGN_PFX -u NORVANE_SIGN_PASSWORD \
  "$source/scripts/package.sh" --output "$work/dist" >"$work/package.log" || fail "packing the second build"
grep -q '^package: unsigned' "$work/package.log" || fail "no word that the package is unsigned"

cmp "$zip" "$work/dist/$(basename "$zip")" || fail "the zip packed elsewhere differs"
grep '^sha256: ' "$work/package.log"
rm -rf "$work"
