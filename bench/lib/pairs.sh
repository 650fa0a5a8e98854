# Every ratio of the benchmarks comes from here: two sides, A (ours) and B (what
# it is compared with), run as one warm-up of each and then PAIRS pairs in turns,
# A then B, then B then A, so that neither profits from going first or from what
# the machine does meanwhile; a ratio is the median of the pairs' ratios, shown
# with its lowest and highest pair and its spread (the highest over the lowest).
# With PAIR_WARMUP=0 the warm-ups are left out, for sides whose run is long and
# whose caller warms what they read otherwise. Sourced.
#
# A side prints its measures on one line (its last), numbers separated by blanks:
# the first is its time; further ones (a peak working set, say) are the side's own.
# Numbers are read and written with a point (LC_ALL=C), whatever the locale the
# programs run in.

# The order of the runs, warm-ups first: "A B  A B  B A  A B ...".
pair_order() {
  local pairs=$1 i
  [ "${PAIR_WARMUP:-1}" = 0 ] || echo A B
  for ((i = 0; i < pairs; i++)); do
    if ((i % 2 == 0)); then echo A B; else echo B A; fi
  done
}

# pair_runs PAIRS SIDE_A SIDE_B: runs the two commands (functions without
# arguments) in pair_order; their lines go to PAIR_A and PAIR_B, warm-ups left out.
pair_runs() {
  local pairs=$1 side_a=$2 side_b=$3 side line command
  local lines=()
  for side in $(pair_order "$pairs"); do
    command=$side_a
    [ "$side" = A ] || command=$side_b
    # Said here: a failing side would otherwise end the script without a word.
    line=$("$command" | tail -n 1 | tr -d '\r') || { echo "benchmark side $side ($command) failed" >&2; return 1; }
    [ -n "$line" ] || { echo "benchmark side $side ($side_a / $side_b) measured nothing" >&2; return 1; }
    lines+=("$side $line")
  done
  pair_read < <(printf '%s\n' "${lines[@]}")
}

# Reads "A measures" / "B measures" lines in pair_order (a driver that runs the
# order itself, in one process, prints them so) into PAIR_A and PAIR_B, warm-ups
# left out.
pair_read() {
  PAIR_A=(); PAIR_B=()
  local seen_a=0 seen_b=0 side rest
  [ "${PAIR_WARMUP:-1}" = 0 ] && seen_a=1 seen_b=1
  while read -r side rest; do
    case $side in
      A) ((seen_a++ == 0)) || PAIR_A+=("$rest") ;;
      B) ((seen_b++ == 0)) || PAIR_B+=("$rest") ;;
    esac
  done
  [ "${#PAIR_A[@]}" -gt 0 ] && [ "${#PAIR_A[@]}" -eq "${#PAIR_B[@]}" ] \
    || { echo "benchmark pairs incomplete (${#PAIR_A[@]} A, ${#PAIR_B[@]} B)" >&2; return 1; }
}

# The median, lowest and highest of numbers on standard input, one a line.
median_spread() {
  LC_ALL=C sort -g | LC_ALL=C awk '{v[NR] = $1} END {
    if (NR == 0) exit 1
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%.3f %.3f %.3f\n", m, v[1], v[NR]}'
}

# Field FIELD (1: the time) of side A over that of side B, pair by pair.
pair_ratios() {
  local field=${1:-1} i
  for i in "${!PAIR_A[@]}"; do
    LC_ALL=C awk -v a="${PAIR_A[$i]}" -v b="${PAIR_B[$i]}" -v f="$field" \
      'BEGIN{split(a, x, " "); split(b, y, " "); printf "%.6f\n", x[f] / y[f]}'
  done
}

# pair_ratio NAME [FIELD]: prints "NAME: median (pairs lowest–highest)" and leaves
# the three in RATIO.
pair_ratio() {
  read -r -a RATIO < <(pair_ratios "${2:-1}" | median_spread)
  ratio_line "$1" "${RATIO[@]}"
}

ratio_line() {
  echo "$1: $2 (pairs $3–$4, spread $(LC_ALL=C awk -v low="$3" -v high="$4" 'BEGIN{printf "%.2f", (low > 0 ? high / low : 0)}'))"
}

# The median of field FIELD of one side's runs: pair_median A|B [FIELD].
pair_median() {
  local -n runs="PAIR_$1"
  local line
  for line in "${runs[@]}"; do LC_ALL=C awk -v f="${2:-1}" '{print $f}' <<<"$line"; done | median_spread \
    | LC_ALL=C awk '{ if ($1 == int($1)) printf "%d\n", $1; else print $1 }'
}

# Milliseconds of one run of a command; its output goes to $BENCH_OUTPUT (not to
# /dev/null: a Windows console program writing there under Wine crawls).
timed_ms() {
  local start end
  start=$(date +%s%N)
  "$@" >"$BENCH_OUTPUT" 2>&1 || { echo "benchmark command failed: $*" >&2; tail -n 5 "$BENCH_OUTPUT" >&2; return 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}
