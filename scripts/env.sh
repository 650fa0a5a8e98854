# Shared environment of the project's scripts; sourced, not run.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
DEPS=$ROOT/.deps
export WINEPREFIX=$ROOT/.deps/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
