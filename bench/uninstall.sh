#!/usr/bin/env bash
# norvexec /S removing logged files against a plain attributes-and-delete loop over
# as many files (bench/tools/uninstallbench), start-up and the engine's half-second start
# delay included; with the engine's peak memory; and norvexec /S /LOG, which also
# writes a line for each file to its removal log, against the same loop. The files are made afresh for
# each run, not timed. The figures keep the name they had with 100,000 files; to
# keep `make bench` within its time on a shared machine, where Wine deletes a file
# in a millisecond or more, a run removes BENCH_UNINSTALL_FILES (20,000) files.
# The floor of a guarded removal is the same loop making the calls the engine
# makes for each file, without the engine (uninstallbench held).
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/lib/common.sh uninstall

files=${BENCH_UNINSTALL_FILES:-20000}
work=$PWD/build/bench/uninstall
driver=build/tests/bin/uninstallbench.exe
norvexec=$(win "$PWD/build/bin/norvexec.exe")

engine_side() { make_numbered_files "$work/engine" "$files"; wine_run "$driver" engine "$norvexec" "$(win "$work/engine")" "$files"; }
loop_side() { make_numbered_files "$work/loop" "$files"; wine_run "$driver" loop "$(win "$work/loop")" "$files"; }

pair_runs "$PAIRS" engine_side loop_side
echo "uninstall_100k_files: $files"
echo "uninstall_100k_norvexec_seconds: $(pair_median A)"
echo "uninstall_100k_loop_seconds: $(pair_median B)"
pair_ratio uninstall_100k_ratio
echo "uninstall_100k_peak_working_set_mb: $(pair_median A 2)"
echo "uninstall_100k_peak_private_mb: $(pair_median A 3)"

logged_side() {
  make_numbered_files "$work/logged" "$files"
  wine_run "$driver" logged "$norvexec" "$(win "$work/logged")" "$files" "$(win "$work/removal.log")"
}
pair_runs "$PAIRS" logged_side loop_side
echo "uninstall_100k_log_seconds: $(pair_median A)"
pair_ratio uninstall_100k_log_ratio
held_side() { make_numbered_files "$work/held" "$files"; wine_run "$driver" held "$(win "$work/held")" "$files"; }
pair_runs "$PAIRS" held_side loop_side
echo "uninstall_100k_floor_seconds: $(pair_median A)"
pair_ratio uninstall_100k_floor_ratio
rm -rf "$work"
