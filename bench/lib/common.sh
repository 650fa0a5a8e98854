# What every benchmark script starts with; sourced with the script's name for its
# messages. The pairs of runs (pairs.sh) and the corpora (corpus.sh) come with it.
. scripts/env.sh
. bench/lib/pairs.sh
. bench/lib/corpus.sh
BENCH_NAME=$1
BENCH_OUTPUT=$PWD/build/bench/$BENCH_NAME-output.txt
mkdir -p "$PWD/build/bench"
# Pairs of each ratio; fewer only to try a script out.
PAIRS=${BENCH_PAIRS:-5}

fail() { echo "$BENCH_NAME benchmark failed: $*" >&2; exit 1; }
win() { local p=${1//\//\\}; echo "Z:$p"; }
# Wine's notes on its standard error that are not ours (it cannot read the Z:
# drive's label) left out.
wine_run() { wine "$@" 2> >(grep -v '^wine: ' >&2); }
