#!/usr/bin/env bash
# Cross-check with Debian's native 7-Zip (7zz), both ways: archives that the
# component packs (through archivecli under Wine) are tested and extracted by 7zz,
# and archives that 7zz packs are extracted by the component; each result is
# compared with its source (content, names, empty folders, modification times).
# Usage: native_7zz_check.sh BIN_DIR WORK_DIR
set -euo pipefail
bin=$1
work=$2
cd "$(dirname "$0")/../.."
. scripts/env.sh

cli() { wine "$bin/archivecli.exe" "$@" >"$work/cli.log" 2>&1 || { cat "$work/cli.log"; return 1; }; }
win() { local p=${1//\//\\}; echo "Z:$p"; }
fail() { echo "FAILED: $*"; exit 1; }

# Times in whole seconds, per path; the component's own extraction stamps files in
# the two-second steps of the DOS format, so a tolerance is given.
same_times() { # source result tolerance
  local path seconds other
  while IFS=$'\t' read -r path seconds; do
    other=$(stat -c %Y "$2/$path")
    (( other - seconds <= $3 && seconds - other <= $3 )) || fail "time of $path: $seconds against $other"
  done < <(cd "$1" && find . -type f -printf '%P\t%T@\n' | sed 's/\.[0-9]*$//')
}

rm -rf "$work"; mkdir -p "$work"
src=$work/src
mkdir -p "$src/gęślą jaźń/głęboko" "$src/pusty"
printf 'zażółć gęślą jaźń' > "$src/zażółć.txt"
head -c 300000 /dev/urandom > "$src/gęślą jaźń/głęboko/szum.bin"
seq 1 30000 > "$src/gęślą jaźń/tekst.txt"
: > "$src/empty.dat"
# 7zz keeps the POSIX mode in the upper half of the attributes; the set-group-id
# bit lands where Windows reads "delete on close".
printf 'setgid' > "$src/setgid.sh"; chmod 2755 "$src/setgid.sh"
touch -d '2018-02-03 04:05:07' "$src/zażółć.txt"
touch -d '2001-09-09 01:46:41' "$src/gęślą jaźń/tekst.txt"

checked=0
# The component packs; 7zz tests and restores.
while read -r name options; do
  archive=$work/$name.7z
  options=${options//SFXMODULE/\'$(win "$bin/7z.sfx")\'}
  eval "cli add '$(win "$archive")' --root '$(win "$src")' $options '$(win "$src")\\*.*'"
  first=$archive
  [ -e "$archive.001" ] && first=$archive.001
  [ -e "$work/$name.exe" ] && first=$work/$name.exe
  password=(); [[ $options == *--password* ]] && password=(-ptajne)
  7zz t "${password[@]}" "$first" >/dev/null || fail "7zz t $name"
  7zz x "${password[@]}" -o"$work/out-$name" "$first" >/dev/null || fail "7zz x $name"
  diff -r "$src" "$work/out-$name" >/dev/null || fail "content of $name"
  same_times "$src" "$work/out-$name" 0
  checked=$((checked + 1))
done <<'LIST'
fast --level 1
ultrasolid --level 4 --solid
ppmd --ppmd
encrypted --level 2 --password tajne --encrypt-names
volumes --volume 100000
selfextracting --level 1 --sfx SFXMODULE
LIST

# 7zz packs; the component restores.
while read -r name switches; do
  (cd "$src" && 7zz a $switches "$work/z-$name.7z" . >/dev/null) || fail "7zz a $name"
  first=$work/z-$name.7z
  [ -e "$first.001" ] && first=$first.001
  password=(); [[ $switches == *-p* ]] && password=(--password tajne)
  cli extract "$(win "$first")" "$(win "$work/z-out-$name")" "${password[@]}" || fail "component extract of $name"
  diff -r "$src" "$work/z-out-$name" >/dev/null || fail "content of 7zz's $name"
  same_times "$src" "$work/z-out-$name" 2
  checked=$((checked + 1))
done <<'LIST'
store -mx0
solid -mx9 -ms=on
lzma -m0=LZMA
ppmd -m0=PPMd
encrypted -ptajne -mhe=on
volumes -v100k
LIST

# An item without a name (7zz a -si packs standard input so) lands under the
# archive's name less its last extension, a volume's number not counted, or with
# a "~" when there is no extension to take away: the component lands it as 7zz does.
unnamed=$work/unnamed; mkdir -p "$unnamed"
head -c 5000 /dev/urandom > "$unnamed/stream"
(cd "$unnamed" && 7zz a -si data.7z <stream >/dev/null && cp data.7z noext && 7zz a -si -v2000b set.7z <stream >/dev/null) \
  || fail "7zz a -si"
for first in data.7z noext set.7z.001; do
  7zz x -o"$unnamed/7zz-$first" "$unnamed/$first" >/dev/null || fail "7zz x $first"
  cli extract "$(win "$unnamed/$first")" "$(win "$unnamed/cli-$first")" || fail "component extract of $first"
  diff -r "$unnamed/7zz-$first" "$unnamed/cli-$first" >/dev/null || fail "unnamed item of $first: $(ls "$unnamed/cli-$first")"
  checked=$((checked + 1))
done
[ -f "$unnamed/cli-set.7z.001/set" ] && [ -f "$unnamed/cli-noext/noext~" ] || fail "unnamed items named otherwise"

echo "native 7zz cross-check: $checked archives, both ways, identical"
