#!/usr/bin/env bash
# Benchmarks doziruzidive's window against its archive component (see
# bench/tools/windowbench): "Wczytaj archiwum" of archives of 100,000 and of a million
# items until every row can be read, over the component's List alone in its
# console driver (archivecli), with the window's peak working set over that
# driver's; and "Odtwórz archiwum" of the mixed corpus over the component's
# Extract alone plus the same progress-bar steps replayed on two bars. Each window
# run starts the program afresh. Run by scripts/bench.sh inside a Wine session.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/lib/common.sh window
export LC_ALL=pl_PL.UTF-8  # the code page and language the window is made for

corpus=$PWD/build/bench/archive
work=$PWD/build/bench/window
program=$(win "$PWD/build/bin/doziruzidive.exe")
make_corpus
make_million
mkdir -p "$work"
# The mixed corpus packed as the window packs (LZMA2, level 3), once.
if [ "$(cat "$work/mixed.done" 2>/dev/null)" != "$(cat "$corpus/.done")" ]; then
  rm -f "$work/mixed.7z"
  (cd "$corpus/mixed" && 7zz a -t7z -mx3 -ms=off "$work/mixed.7z" . >/dev/null) || fail "7zz could not pack the corpus"
  cp "$corpus/.done" "$work/mixed.done"
fi
rm -rf "$work/run"; mkdir -p "$work/run"
wine build/bin/dozsettings.exe --output "$(win "$work/run/doziruzidive_config.dat")" \
  --restore "$(win "$work/run/window-out")" >/dev/null || fail "dozsettings"

# The sides; $archive is the archive listed, $rows the rows the window shows of it.
window_load() { wine_run build/bin/windowbench.exe load "$program" "$(win "$work/run")" "$(win "$archive")" "$rows"; }
list_alone() {
  wine build/bin/archivecli.exe list "$(win "$archive")" --quiet --time --memory >"$BENCH_OUTPUT" 2>&1 \
    || fail "archivecli could not list $archive"
  tr -d '\r' <"$BENCH_OUTPUT" | awk '/^operation_ms:/{t=$2} /^peak_working_set:/{m=$2} END{print t, m}'
}
window_restore() { wine_run build/bin/windowbench.exe restore "$program" "$(win "$work/run")" "$(win "$work/mixed.7z")"; }
extract_alone() { wine_run build/bin/windowbench.exe extract-alone "$(win "$work/mixed.7z")" "$(win "$work/run/alone-out")"; }

for size in 100k 1m; do
  # Folders packed on Unix carry mode bits beside 16: they have rows too.
  if [ "$size" = 100k ]; then archive=$corpus/list100k.7z rows=100200; else archive=$PWD/build/bench/million/items.7z rows=1000000; fi
  pair_runs "$((PAIRS + 2))" window_load list_alone  # two pairs more: they are quick and the noisiest
  echo "archiver_window_list_${size}_ms: window $(pair_median A), List alone $(pair_median B) ($rows rows)"
  pair_ratio "archiver_window_list_${size}_ratio"
done
echo "archiver_window_list_1m_peak_mb: window $(pair_median A 2 | awk '{printf "%.0f", $1 / 1048576}')," \
  "List alone $(pair_median B 2 | awk '{printf "%.0f", $1 / 1048576}')"
pair_ratio archiver_window_list_1m_memory_ratio 2

pair_runs "$PAIRS" window_restore extract_alone
diff -r "$corpus/mixed" "$work/run/window-out" >/dev/null || fail "the window restored other files"
echo "archiver_window_extract_ms: window $(pair_median A), Extract alone $(pair_median B 2)," \
  "$(pair_median B 4 | cut -d. -f1) bar steps $(pair_median B 3)"
pair_ratio archiver_window_extract_ratio
rm -rf "$work/run"
