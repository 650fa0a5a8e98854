#!/usr/bin/env bash
# The themed page: loading a 69-control page against the same profile reads and
# windows made plainly, and at 144 dpi against 96 dpi; norvexec /I with its
# progress page removing 100,000 logged files against /S without a page plus the
# platform's cost of the page's bar steps, each measured in one run.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh
wine build/tests/bin/pagebench.exe 2>/dev/null | tr -d '\r'
wine build/tests/bin/uninstallbench.exe "$(winepath -w build/bin/norvexec.exe)" 100000 \
  --page "$(winepath -w bench/uninstall-page.lcd)" 2>/dev/null | tr -d '\r'
