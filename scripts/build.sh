#!/usr/bin/env bash
# Configures and builds everything into build/ (programs and run-time files in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null \
    || { echo "build failed: cmake could not configure the project" >&2; exit 1; }
fi
status=0
cmake --build build -j"$(nproc)" >build/build.log 2>&1 || status=$?
grep -v -E '^\[ *[0-9]+%\]|^Scanning dependencies|^g?make(\[[0-9]+\])?:' build/build.log || true
[ "$status" -eq 0 ] || { echo "build failed: see the compiler output above" >&2; exit 1; }
