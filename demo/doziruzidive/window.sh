#!/usr/bin/env bash
# Uses doziruzidive's window as a user would, on the bundled data: dozsettings
# writes the settings file, the program starts in Polish, "Archiwizuj" packs
# through the save dialog (a name typed without extension), "Wczytaj archiwum"
# loads the archive through the open dialog, "Odtwórz archiwum" restores it, two
# rows are selected and the window's picture is taken, "Koniec" ends it. The
# archive is checked with Debian's native 7zz and the restored tree byte for byte.
# Run by demo/doziruzidive/run.sh.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/env.sh
export LC_ALL=pl_PL.UTF-8  # code page 1250, Polish dates and dialogs

data=$PWD/demo/doziruzidive/data
work=$PWD/build/demo/doziruzidive-window
win() { local p=${1//\//\\}; echo "Z:$p"; }
check() { echo "  check: $*"; }
fail() { echo "demo doziruzidive window FAILED: $*"; exit 1; }

rm -rf "$work"; mkdir -p "$work"
echo "doziruzidive window demo, in $work"
echo "1. the settings file, written by dozsettings"
wine build/bin/dozsettings.exe --output "$(win "$work/doziruzidive_config.dat")" --root "$(win "$data")\\" \
  --restore "$(win "$work/odtworzone")" "$(win "$data")\\README.txt" "$(win "$data")\\dokumenty\\*.*" \
  "$(win "$data")\\notatki\\*.*" 2>&1 | sed 's/^/    /' || fail "dozsettings"

echo "2. the window: pack, load, restore, select two rows, take its picture, end"
wine build/tests/bin/dozdriver.exe "$(win "$PWD/build/bin/doziruzidive.exe")" "$(win "$work")" \
  pack "$(win "$work")\\dane" load "$(win "$work/dane.7z")" restore select 1,3 \
  picture "$(win "$work/okno.png")" end 2>&1 | grep -v '^wine: ' || fail "driving the window"

7zz t "$work/dane.7z" >/dev/null || fail "7zz t dane.7z"
check "7zz tests dane.7z: $(7zz l "$work/dane.7z" | tail -1 | sed 's/  */ /g')"
diff -r "$data" "$work/odtworzone" >/dev/null || fail "restored files differ"
check "the restored tree is identical to the data"
[ -s "$work/okno.png" ] || fail "no picture of the window"
echo "picture of the window with its rows: $work/okno.png"
echo "demo doziruzidive window: all checks passed"
