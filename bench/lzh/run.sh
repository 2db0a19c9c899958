#!/bin/bash
# Size and speed of our LZH codec against gzip, jlha, 7-Zip's Deflate64 and lhasa, in one run
# on one generated month of logs (31 files, about 35 MB, fixed seed), concatenated.
# usage: bench/lzh/run.sh [BUILD_DIR]     (needs bench_lzh and pelsok-loggen built there)
# Times are wall-clock seconds, best of 3 runs (1 run for the slow best settings).
set -euo pipefail
# A relative build folder is taken from the caller's folder (the run changes folder).
build=$(realpath -m "${1:-build}")
bin="$build/bin"
for tool in "$bin/bench_lzh" "$bin/pelsok-loggen"; do
  [ -x "$tool" ] || { echo "run.sh: $tool is missing; build bench_lzh and pelsok-loggen first" >&2; exit 2; }
done
for tool in gzip jlha 7zz lhasa; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not on PATH" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 10 --seed 2026
cat "$work"/logs/DR10*.log > "$work/month.log"
in="$work/month.log"
size=$(stat -c %s "$in")
files=$(ls "$work"/logs | wc -l)

now() { date +%s.%N; }
# best <runs> <command...>: the shortest wall time of the command, in seconds
best() {
  local runs=$1; shift
  local b=999999 t0 t1 t
  for _ in $(seq "$runs"); do
    t0=$(now); "$@"; t1=$(now)
    t=$(echo "$t1 - $t0" | bc -l)
    if (( $(echo "$t < $b" | bc -l) )); then b=$t; fi
  done
  echo "$b"
}
mbs() { echo "scale=1; $size / 1000000 / $1" | bc -l; }
ratio() { echo "scale=3; $1 / $2" | bc -l; }

cd "$work"
# Ours, through the benchmark program (it reads and writes files like the tools do).
read -r _ def_size def_c < <("$bin/bench_lzh" --repeat 3 encode -lh7- 5 "$in" def.lh7)
read -r _ _ def_d < <("$bin/bench_lzh" --repeat 3 decode -lh7- "$size" def.lh7)
read -r _ best_size best_c < <("$bin/bench_lzh" encode -lh7- 9 "$in" best.lh7)
read -r _ _ best_d < <("$bin/bench_lzh" --repeat 3 decode -lh7- "$size" best.lh7)

gz6_c=$(best 3 sh -c "gzip -6 -c '$in' > g6.gz"); gz6_size=$(stat -c %s g6.gz)
gz6_d=$(best 3 sh -c "gzip -dc g6.gz > /dev/null")
gz9_c=$(best 1 sh -c "gzip -9 -c '$in' > g9.gz"); gz9_size=$(stat -c %s g9.gz)
gz9_d=$(best 3 sh -c "gzip -dc g9.gz > /dev/null")
j5_c=$(best 1 sh -c "jlha ao5 j5.lzh month.log > /dev/null"); j5_size=$(stat -c %s j5.lzh)
j7_c=$(best 1 sh -c "jlha ao7 j7.lzh month.log > /dev/null"); j7_size=$(stat -c %s j7.lzh)
z_c=$(best 1 sh -c "7zz a -tzip -mm=Deflate64 -mx9 d64.zip month.log > /dev/null"); z_size=$(stat -c %s d64.zip)
z_d=$(best 3 sh -c "7zz t d64.zip > /dev/null")
# Decompression of the same jlha-made -lh7- archive: lhasa's test command against ours.
lhasa_d=$(best 3 sh -c "lhasa t j7.lzh > /dev/null")
read -r _ _ ours_j7_d < <("$bin/bench_lzh" --repeat 3 decode-archive j7.lzh)

echo "Input: $files generated daily logs concatenated, $size bytes"
printf '%-34s %11s %8s %10s %10s\n' "setting" "bytes" "ratio" "comp MB/s" "dec MB/s"
row() { printf '%-34s %11d %8s %10s %10s\n' "$1" "$2" "$(ratio "$2" "$size")" "$(mbs "$3")" "$4"; }
row "ours default (-lh7-, effort 5)" "$def_size" "$def_c" "$(mbs "$def_d")"
row "ours best (-lh7-, effort 9)" "$best_size" "$best_c" "$(mbs "$best_d")"
row "gzip -6" "$gz6_size" "$gz6_c" "$(mbs "$gz6_d")"
row "gzip -9" "$gz9_size" "$gz9_c" "$(mbs "$gz9_d")"
row "jlha -lh5- (archive)" "$j5_size" "$j5_c" "-"
row "jlha -lh7- (archive)" "$j7_size" "$j7_c" "$(mbs "$lhasa_d") (lhasa)"
row "7zz zip Deflate64 -mx9 (archive)" "$z_size" "$z_c" "$(mbs "$z_d")"
echo
echo "default size / gzip -6 size:           $(ratio "$def_size" "$gz6_size")   (target <= 1)"
echo "default compression speed / gzip -6:   $(ratio "$gz6_c" "$def_c")   (target >= 1)"
echo "best size / 7zz Deflate64 -mx9 size:   $(ratio "$best_size" "$z_size")   (target <= 1.02)"
echo "best size / gzip -6 size:              $(ratio "$best_size" "$gz6_size")"
echo "default size / jlha -lh7- size:        $(ratio "$def_size" "$j7_size")"
echo "decompression speed, ours / lhasa (same jlha -lh7- archive): $(ratio "$lhasa_d" "$ours_j7_d")   (target >= 1)"
echo "decompression speed, ours default stream / gzip -6 -d:       $(ratio "$gz6_d" "$def_d")"
