#!/usr/bin/env bash
# norvexec /S over 100,000 logged files against a plain attributes+delete loop.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/env.sh
wine build/tests/bin/uninstallbench.exe "$(winepath -w build/bin/norvexec.exe)" 100000 2>/dev/null | tr -d '\r'
