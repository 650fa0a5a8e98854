#!/usr/bin/env bash
# Native fuzzing of the platform-neutral parsers with clang's libFuzzer, outside
# the Wine build: every fuzz/NAME.cpp is a target (its "fuzz-sources:" line names
# the project files it needs), fuzz/corpus/NAME its seeds. Each target runs for
# FUZZ_SECONDS (default 180); inputs that reach new code are merged into the
# corpus, a crash leaves its input in build-fuzz/ and fails the run.
#   scripts/fuzz.sh [NAME...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-180}
out=build-fuzz

if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-14-dev 2>/dev/null | grep -q 'ok installed'; then
  echo "fuzz: installing clang and libclang-rt-14-dev"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null || { echo "fuzz failed: apt-get update" >&2; exit 1; }
  apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev >/dev/null \
    || { echo "fuzz failed: apt-get install clang libclang-rt-14-dev" >&2; exit 1; }
fi

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for file in fuzz/*.cpp; do targets+=("$(basename "$file" .cpp)"); done
fi
mkdir -p "$out"
failed=()
for name in "${targets[@]}"; do
  source=fuzz/$name.cpp
  [ -f "$source" ] || { echo "fuzz failed: no target $source" >&2; exit 1; }
  read -r -a extra <<<"$(sed -n 's/^\/\/ fuzz-sources:\(.*\)$/\1/p' "$source" | head -n1)"
  echo "fuzz: building $name"
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I engine -I archiver -I tests "$source" "${extra[@]}" -o "$out/$name" \
    || { echo "fuzz failed: $name does not build" >&2; exit 1; }
  mkdir -p "fuzz/corpus/$name"
  found=$(mktemp -d)
  echo "fuzz: running $name for ${seconds}s"
  status=0
  "$out/$name" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$out/$name-" \
    "$found" "fuzz/corpus/$name" >"$out/$name.log" 2>&1 || status=$?
  grep -E '^stat::number_of_executed_units|^stat::new_units_added|^SUMMARY|^==.*ERROR' "$out/$name.log" \
    | sed "s/^/fuzz: $name: /" || true
  # Only what reaches new code joins the corpus kept in the repository.
  "$out/$name" -merge=1 "fuzz/corpus/$name" "$found" >/dev/null 2>&1 || true
  rm -rf "$found"
  if [ "$status" -ne 0 ]; then
    failed+=("$name")
    echo "fuzz: $name FAILED, see $out/$name.log and $out/$name-crash-*" >&2
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "fuzz failed: ${failed[*]}" >&2; exit 1; }
echo "fuzz: ${#targets[@]} targets, no failure"
