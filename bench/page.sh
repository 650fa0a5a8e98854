#!/usr/bin/env bash
# The themed page (bench/tools/pagebench, bench/tools/uninstallbench): loading a 69-control
# page against the same profile reads and windows made plainly, and at 144 dpi
# against 96 dpi; and norvexec /I
# with its progress page removing logged files against /S without a page plus the
# platform's own cost of the page's bar steps. The themed removal keeps the name
# it had with 100,000 files; under Wine with Xvfb a bar step costs about a
# millisecond, so a run removes BENCH_PAGE_FILES (5,000) files to keep `make
# bench` within its time.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/lib/common.sh page

loads=10
files=${BENCH_PAGE_FILES:-5000}
work=$PWD/build/bench/page
pagebench=build/tests/bin/pagebench.exe
driver=build/tests/bin/uninstallbench.exe
norvexec=$(win "$PWD/build/bin/norvexec.exe")

page_side() { wine_run "$pagebench" page "$loads"; }
plain_side() { wine_run "$pagebench" plain "$loads"; }
pair_runs "$((PAIRS + 2))" page_side plain_side
echo "page_load_controls: $(pair_median A 2 | cut -d. -f1)"
echo "page_load_ms: $(pair_median A | awk -v n="$loads" '{printf "%.1f", $1 / n}')"
echo "page_load_baseline_ms: $(pair_median B | awk -v n="$loads" '{printf "%.1f", $1 / n}')"
pair_ratio page_load_ratio
page144_side() { wine_run "$pagebench" page144 "$loads"; }
pair_runs "$((PAIRS + 2))" page144_side page_side
echo "page_load_144_ms: $(pair_median A | awk -v n="$loads" '{printf "%.1f", $1 / n}')"
pair_ratio page_load_144_ratio

with_page() {
  make_numbered_files "$work/files" "$files"
  wine_run "$driver" engine "$norvexec" "$(win "$work/files")" "$files" "$(win "$PWD/bench/uninstall-page.lcd")"
}
# The silent removal and the bar steps, summed; then each.
silent_and_bars() {
  make_numbered_files "$work/files" "$files"
  local silent bars
  silent=$(wine_run "$driver" engine "$norvexec" "$(win "$work/files")" "$files" | tr -d '\r' | cut -d' ' -f1)
  bars=$(wine_run "$driver" bars "$files" | tr -d '\r')
  awk -v s="$silent" -v b="$bars" 'BEGIN{printf "%.3f %s %s\n", s + b, s, b}'
}
pair_runs "$PAIRS" with_page silent_and_bars
echo "uninstall_page_100k_files: $files"
echo "uninstall_page_100k_seconds: $(pair_median A)"
echo "uninstall_page_100k_silent_seconds: $(pair_median B 2)"
echo "uninstall_page_100k_bar_steps_seconds: $(pair_median B 3)"
pair_ratio uninstall_page_100k_ratio
rm -rf "$work"
