#!/bin/bash
# Our MSZIP cabinet (CAB32.DLL, libdeflate on every core) against gcab -cz, size and
# time, and extraction of that cabinet against cabextract, in one run on one
# generated month of logs (31 files, about 35 MB, fixed seed).
# usage: bench/cab/run.sh [BUILD_DIR]     (needs bench_cab, CAB32.DLL and pelsok-loggen built there)
# Times are wall-clock seconds of one run each.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# The build folder: the first argument, else $BUILD_DIR, else build/ at the top;
# a relative one is taken from the caller's folder.
build=$(realpath -m "${1:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "run.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 2; }
bin="$build/bin"
for tool in "$bin/bench_cab" "$bin/CAB32.DLL" "$bin/pelsok-loggen"; do
  [ -e "$tool" ] || { echo "run.sh: $tool is missing; build bench_cab, cab32 and pelsok-loggen first" >&2; exit 2; }
done
for tool in gcab cabextract; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not on PATH" >&2; exit 2; }
done
lib=$(cd "$(dirname "$bin/CAB32.DLL")" && pwd)/CAB32.DLL
bench=$(cd "$bin" && pwd)/bench_cab

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 10 --seed 2026
cd "$work"
size=$(cat logs/*.log | wc -c)
files=$(ls logs | wc -l)

now() { date +%s.%N; }
timed() { local t0 t1; t0=$(now); "$@" > /dev/null; t1=$(now); echo "$t1 - $t0" | bc -l; }
ratio() { echo "scale=3; $1 / $2" | bc -l; }

ours_c=$("$bench" "$lib" "-a  \"$work/ours.cab\" \"$work/logs/\" \"*.log\"")
ours_size=$(stat -c %s ours.cab)
gcab_c=$(cd logs && timed gcab -cz ../gcab.cab ./*.log)
gcab_size=$(stat -c %s gcab.cab)
ours_x=$("$bench" "$lib" "-x -o  \"$work/ours.cab\" \"$work/out-ours/\"")
cabx_x=$(mkdir out-cabextract && timed cabextract -q -d out-cabextract ours.cab)
cmp <(cat logs/*.log) <(cat out-ours/*.log) && cmp <(cat logs/*.log) <(cat out-cabextract/*.log)

echo "Input: $files generated daily logs, $size bytes"
printf '%-30s %11s %8s %9s\n' "run" "bytes" "ratio" "seconds"
printf '%-30s %11d %8s %9.3f\n' "ours -a (MSZIP)" "$ours_size" "$(ratio "$ours_size" "$size")" "$ours_c"
printf '%-30s %11d %8s %9.3f\n' "gcab -cz" "$gcab_size" "$(ratio "$gcab_size" "$size")" "$gcab_c"
printf '%-30s %11s %8s %9.3f\n' "ours -x (our cabinet)" "-" "-" "$ours_x"
printf '%-30s %11s %8s %9.3f\n' "cabextract (our cabinet)" "-" "-" "$cabx_x"
echo
echo "size, ours / gcab -cz:                 $(ratio "$ours_size" "$gcab_size")   (target <= 1)"
echo "packing speed, ours / gcab -cz:        $(ratio "$gcab_c" "$ours_c")   (target >= 1.5)"
echo "extraction speed, ours / cabextract:   $(ratio "$cabx_x" "$ours_x")"
