#!/bin/bash
# Size and speed of our LZH codec and of UNLHA32.DLL's a command against gzip, pigz, jlha,
# 7-Zip's Deflate64 and lhasa, in one run on one generated month of logs (31 files, about
# 35 MB, fixed seed). Every figure is printed as a ratio against a reference run here.
# usage: bench/lzh/run.sh [BUILD_DIR] [--smoke]
#   BUILD_DIR needs bench_lzh, bench_unlha_pack, pelsok-loggen and UNLHA32.DLL built in bin/.
#   --smoke: a tiny month, one run of each; only checks that everything runs (CI).
#   LZH_BASELINE=/path/to/an/older/bench_lzh also times that build's best effort and its
#   decoding of the -lh7- and -lh5- streams, to compare. The decoder before the faster block
#   decoding is commit 313a302; to build its bench_lzh (nothing else is needed):
#     git worktree add /tmp/lzh-baseline 313a302
#     cmake -S /tmp/lzh-baseline -B /tmp/lzh-baseline/build -G Ninja \
#       -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELSOK_TESTS=OFF -DPELSOK_APP=OFF
#     cmake --build /tmp/lzh-baseline/build --target bench_lzh -j2
#     LZH_BASELINE=/tmp/lzh-baseline/build/bin/bench_lzh bash bench/lzh/run.sh build
#   (git worktree remove /tmp/lzh-baseline afterwards.)
# Times are wall-clock seconds, best of 3 runs (1 run for the slow ones). Other work on the
# machine slows every run; compare ratios, and run it more than once on a busy machine. The
# archive command's time includes syncing the archive to disk, which the stream tools skip.
set -euo pipefail
smoke=0
args=()
for a in "$@"; do
  if [ "$a" = --smoke ]; then smoke=1; else args+=("$a"); fi
done
root=$(cd "$(dirname "$0")/../.." && pwd)
# The build folder: the first argument, else $BUILD_DIR, else build/ at the top;
# a relative one is taken from the caller's folder (the run changes folder).
build=$(realpath -m "${args[0]:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "run.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 2; }
bin="$build/bin"
for tool in "$bin/bench_lzh" "$bin/bench_unlha_pack" "$bin/pelsok-loggen" "$bin/UNLHA32.DLL"; do
  [ -e "$tool" ] || { echo "run.sh: $tool is missing; build bench_lzh, bench_unlha_pack and pelsok-loggen first" >&2; exit 2; }
done
for tool in gzip pigz jlha 7zz lhasa bc; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not on PATH (tools/install-deps.sh installs it)" >&2; exit 2; }
done
baseline=${LZH_BASELINE:-}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ((smoke)); then
  "$bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 2 --bytes-per-day 4000 --seed 2026
  many=1
else
  "$bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 10 --seed 2026
  many=3
fi
cat "$work"/logs/DR*.log > "$work/month.log"
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
# Ours, through the benchmark programs (they read and write files like the tools do).
read -r _ def_size def_c < <("$bin/bench_lzh" --repeat "$many" encode -lh7- 5 "$in" def.lh7)
read -r _ _ def_d < <("$bin/bench_lzh" --repeat "$many" decode -lh7- "$size" def.lh7)
read -r _ best_size best_c < <("$bin/bench_lzh" encode -lh7- 9 "$in" best.lh7)
read -r _ _ best_d < <("$bin/bench_lzh" --repeat "$many" decode -lh7- "$size" best.lh7)
read -r _ lh5_size lh5_c < <("$bin/bench_lzh" --repeat "$many" encode -lh5- 5 "$in" def.lh5)
read -r _ _ lh5_d < <("$bin/bench_lzh" --repeat "$many" decode -lh5- "$size" def.lh5)
if [ -n "$baseline" ]; then
  read -r _ base_size base_c < <("$baseline" encode -lh7- 9 "$in" base.lh7)
  # The older decoder on the very streams ours decoded above.
  read -r _ _ base_d7 < <("$baseline" --repeat "$many" decode -lh7- "$size" def.lh7)
  read -r _ _ base_d5 < <("$baseline" --repeat "$many" decode -lh5- "$size" def.lh5)
fi
# The archive command on the month's files: one thread (as before the pool), then the default.
lib="$bin/UNLHA32.DLL"
read -r _ a1_size a1_c a1_cpu < <("$bin/bench_unlha_pack" --repeat "$many" "$lib" -jt1 a1.lzh logs)
read -r _ an_size an_c an_cpu < <("$bin/bench_unlha_pack" --repeat "$many" "$lib" "" an.lzh logs)
read -r _ a9_size a9_c _ < <("$bin/bench_unlha_pack" "$lib" -jm9 a9.lzh logs)
cmp -s a1.lzh an.lzh || { echo "run.sh: the archive depends on the thread count" >&2; exit 1; }
# The t command on the default archive: every member decoded and its CRC checked.
read -r _ _ at_d _ < <("$bin/bench_unlha_pack" --repeat "$many" "$lib" --test an.lzh logs)

gz6_c=$(best "$many" sh -c "gzip -6 -c '$in' > g6.gz"); gz6_size=$(stat -c %s g6.gz)
gz6_d=$(best "$many" sh -c "gzip -dc g6.gz > /dev/null")
pz6_c=$(best "$many" sh -c "pigz -6 -p2 -c '$in' > p6.gz"); pz6_size=$(stat -c %s p6.gz)
gz9_c=$(best 1 sh -c "gzip -9 -c '$in' > g9.gz"); gz9_size=$(stat -c %s g9.gz)
j5_c=$(best 1 sh -c "jlha ao5 j5.lzh month.log > /dev/null"); j5_size=$(stat -c %s j5.lzh)
j7_c=$(best 1 sh -c "jlha ao7 j7.lzh month.log > /dev/null"); j7_size=$(stat -c %s j7.lzh)
z_c=$(best 1 sh -c "7zz a -tzip -mm=Deflate64 -mx9 d64.zip month.log > /dev/null"); z_size=$(stat -c %s d64.zip)
z_d=$(best "$many" sh -c "7zz t d64.zip > /dev/null")
# Decompression of the same jlha-made -lh7- archive: lhasa's test command against ours.
lhasa_d=$(best "$many" sh -c "lhasa t j7.lzh > /dev/null")
read -r _ _ ours_j7_d < <("$bin/bench_lzh" --repeat "$many" decode-archive j7.lzh)

echo "Input: $files generated daily logs, $size bytes (streams: the files concatenated)"
printf '%-40s %11s %8s %10s %10s\n' "setting" "bytes" "ratio" "comp MB/s" "dec MB/s"
row() { printf '%-40s %11d %8s %10s %10s\n' "$1" "$2" "$(ratio "$2" "$size")" "$(mbs "$3")" "$4"; }
row "ours stream default (-lh7-, effort 5)" "$def_size" "$def_c" "$(mbs "$def_d")"
row "ours stream best (-lh7-, effort 9)" "$best_size" "$best_c" "$(mbs "$best_d")"
row "ours stream -lh5-, effort 5" "$lh5_size" "$lh5_c" "$(mbs "$lh5_d")"
[ -n "$baseline" ] && row "baseline stream best (effort 9)" "$base_size" "$base_c" "-"
row "ours archive a, 1 thread (-jt1)" "$a1_size" "$a1_c" "-"
row "ours archive a, default threads" "$an_size" "$an_c" "-"
row "ours archive a -jm9, default threads" "$a9_size" "$a9_c" "-"
row "gzip -6" "$gz6_size" "$gz6_c" "$(mbs "$gz6_d")"
row "pigz -6 -p2" "$pz6_size" "$pz6_c" "-"
row "gzip -9" "$gz9_size" "$gz9_c" "-"
row "jlha -lh5- (archive)" "$j5_size" "$j5_c" "-"
row "jlha -lh7- (archive)" "$j7_size" "$j7_c" "$(mbs "$lhasa_d") (lhasa)"
row "7zz zip Deflate64 -mx9 (archive)" "$z_size" "$z_c" "$(mbs "$z_d")"
echo
echo "Parallel members ($(nproc) cores):"
echo "  archive speed, default threads / 1 thread:   $(ratio "$a1_c" "$an_c")   (target >= 1.8)"
echo "  archive speed, default threads / pigz -6 -p2: $(ratio "$pz6_c" "$an_c")   (target >= 1)"
echo "  archive size / gzip -6 size:                 $(ratio "$an_size" "$gz6_size")   (target <= 1)"
# The wall-clock ratio needs the cores free; these show what the run got and what the pool costs.
echo "  cores used, default threads (CPU / wall):    $(ratio "$an_cpu" "$an_c")"
echo "  CPU time, default threads / 1 thread:        $(ratio "$an_cpu" "$a1_cpu")   (the pool's overhead)"
echo "  archive size / pigz -6 size:                 $(ratio "$an_size" "$pz6_size")"
echo "Stream, default effort:"
echo "  size / gzip -6 size:                         $(ratio "$def_size" "$gz6_size")   (target <= 1)"
echo "  compression speed / gzip -6:                 $(ratio "$gz6_c" "$def_c")   (target >= 1)"
echo "  size / jlha -lh7- size:                      $(ratio "$def_size" "$j7_size")"
echo "Best effort (9):"
echo "  stream size / 7zz Deflate64 -mx9 size:       $(ratio "$best_size" "$z_size")   (target <= 1.02)"
echo "  stream speed / 7zz Deflate64 -mx9:           $(ratio "$z_c" "$best_c")"
echo "  stream size / gzip -6 size:                  $(ratio "$best_size" "$gz6_size")"
echo "  archive -jm9 speed, default threads / 7zz:   $(ratio "$z_c" "$a9_c")"
if [ -n "$baseline" ]; then
  echo "  stream size / baseline size:                 $(ratio "$best_size" "$base_size")   (target <= 1.01)"
  echo "  stream speed / baseline speed:               $(ratio "$base_c" "$best_c")   (target >= 3)"
fi
echo "Decoding:"
echo "  ours -lh7- default stream, MB/s:             $(mbs "$def_d")   (target >= 500)"
echo "  ours -lh5- default stream, MB/s:             $(mbs "$lh5_d")   (target >= 500)"
if [ -n "$baseline" ]; then
  echo "  ours / baseline, -lh7- default stream:       $(ratio "$base_d7" "$def_d")   (baseline $(mbs "$base_d7") MB/s)"
  echo "  ours / baseline, -lh5- default stream:       $(ratio "$base_d5" "$lh5_d")   (baseline $(mbs "$base_d5") MB/s)"
fi
echo "  ours / lhasa (same jlha -lh7- archive):      $(ratio "$lhasa_d" "$ours_j7_d")   (target >= 1)"
echo "  archive t speed / gzip -6 -d (same month):   $(ratio "$gz6_d" "$at_d")   (target >= 2.5)"
echo "  ours -lh7- default stream / gzip -6 -d:      $(ratio "$gz6_d" "$def_d")"
echo "  ours -lh5- default stream / gzip -6 -d:      $(ratio "$gz6_d" "$lh5_d")"
echo "  ours -lh7- default stream / 7zz Deflate64 t: $(ratio "$z_d" "$def_d")"
echo "  ours -lh5- default stream / 7zz Deflate64 t: $(ratio "$z_d" "$lh5_d")"
