#!/usr/bin/env bash
# Benchmarks doziruzidive's window against its archive component, in one run (see
# tools/windowbench): listing an archive of 100,000 items into the window's rows,
# and restoring the mixed corpus with the window's progress bars moving. Run by
# scripts/bench.sh inside a Wine session. Prints "name: value" lines.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh
export LC_ALL=pl_PL.UTF-8  # the code page and language the window is made for

corpus=$PWD/build/bench/archive
work=$PWD/build/bench/window
win() { local p=${1//\//\\}; echo "Z:$p"; }
fail() { echo "window benchmark failed: $*" >&2; exit 1; }

. bench/lib/corpus.sh
make_corpus
mkdir -p "$work"
# The mixed corpus packed as the window packs (LZMA2, level 3), once.
if [ ! -f "$work/mixed.done" ]; then
  rm -f "$work/mixed.7z"
  (cd "$corpus/mixed" && 7zz a -t7z -mx3 -ms=off "$work/mixed.7z" . >/dev/null) || fail "7zz could not pack the corpus"
  touch "$work/mixed.done"
fi
rm -rf "$work/run"; mkdir -p "$work/run"
wine build/bin/dozsettings.exe --output "$(win "$work/run/doziruzidive_config.dat")" \
  --restore "$(win "$work/run/window-out")" >/dev/null || fail "dozsettings"
# (Wine notes on stderr that it cannot read the Z: drive's label; not ours.)
wine build/bin/windowbench.exe "$(win "$PWD/build/bin/doziruzidive.exe")" "$(win "$work/run")" \
  "$(win "$corpus/list100k.7z")" "$(win "$work/mixed.7z")" 2> >(grep -v '^wine: ' >&2) || fail "windowbench"
diff -r "$corpus/mixed" "$work/run/window-out" >/dev/null || fail "the window restored other files"
rm -rf "$work/run"
