#!/usr/bin/env bash
# Drives doziruzidive's archive component (through archivecli) on the bundled data:
# packs a plain archive, volumes and a self-extracting program, lists and restores
# them, and checks every result against Debian's native 7-Zip (7zz). Run by
# scripts/demo.sh, which provides the Wine session.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/env.sh

data=$PWD/demo/doziruzidive/data
work=$PWD/build/demo/doziruzidive
cli=$PWD/build/bin/archivecli.exe
win() { local p=${1//\//\\}; echo "Z:$p"; }
run() { wine "$cli" "$@" 2>&1 | sed 's/^/    /'; return "${PIPESTATUS[0]}"; }
check() { echo "  check: $*"; }
fail() { echo "demo doziruzidive FAILED: $*"; exit 1; }

rm -rf "$work"; mkdir -p "$work"
echo "doziruzidive archive component demo: $(find "$data" -type f | wc -l) files, $(du -sb "$data" | cut -f1) bytes in $data"

echo "1. pack everything below the data folder (LZMA, level NORMAL)"
run add "$(win "$work/dane.7z")" --root "$(win "$data")" --level 2 "$(win "$data")\\*.*" || fail "add"
7zz t "$work/dane.7z" >/dev/null || fail "7zz t dane.7z"
check "7zz tests dane.7z: $(7zz l "$work/dane.7z" | tail -1 | sed 's/  */ /g')"

echo "2. list it"
run list "$(win "$work/dane.7z")" || fail "list"

echo "3. restore it and compare with the data"
run extract "$(win "$work/dane.7z")" "$(win "$work/odtworzone")" --quiet || fail "extract"
diff -r "$data" "$work/odtworzone" >/dev/null || fail "restored files differ"
check "restored tree is identical to the data"

echo "4. pack in volumes of 1,500 bytes (store), then restore from the first volume"
run add "$(win "$work/tomy.7z")" --root "$(win "$data")" --volume 1500 --quiet "$(win "$data")\\*.*" || fail "add volumes"
7zz t "$work/tomy.7z.001" >/dev/null || fail "7zz t tomy.7z.001"
check "7zz tests the $(ls "$work"/tomy.7z.* | wc -l) volumes"
run extract "$(win "$work/tomy.7z.001")" "$(win "$work/z-tomow")" --quiet || fail "extract volumes"
diff -r "$data" "$work/z-tomow" >/dev/null || fail "files from the volumes differ"
check "files restored from the volumes are identical"

echo "5. make a self-extracting program with the 7z.sfx module and a password"
run add "$(win "$work/instalator.7z")" --root "$(win "$data")" --level 1 --password tajne --encrypt-names \
  --sfx "$(win "$PWD/build/bin/7z.sfx")" --quiet "$(win "$data")\\*.*" || fail "add self-extracting"
7zz t -ptajne "$work/instalator.exe" >/dev/null || fail "7zz t instalator.exe"
check "7zz tests instalator.exe ($(stat -c %s "$work/instalator.exe") bytes: module of $(stat -c %s build/bin/7z.sfx) bytes, then the archive)"
run extract "$(win "$work/instalator.exe")" "$(win "$work/z-instalatora")" --password tajne --quiet || fail "extract sfx"
diff -r "$data" "$work/z-instalatora" >/dev/null || fail "files from the self-extractor differ"
check "files restored from the self-extracting program are identical"

echo "6. restore an archive that 7zz packed (solid, PPMd)"
(cd "$data" && 7zz a -m0=PPMd -ms=on "$work/od-7zz.7z" . >/dev/null) || fail "7zz a"
run extract "$(win "$work/od-7zz.7z")" "$(win "$work/z-7zz")" --quiet || fail "extract 7zz archive"
diff -r "$data" "$work/z-7zz" >/dev/null || fail "files from 7zz's archive differ"
check "files restored from 7zz's archive are identical"

echo "demo doziruzidive: all checks passed"

bash demo/doziruzidive/window.sh
