#!/bin/bash
# Our ZIP libraries against Info-ZIP zip -6, 7zz -tzip -mx5 and unzip, in one run on one
# generated month of logs (31 daily files, fixed seed): archive size and time to create,
# and time to extract. Ours runs the line the product builds (" -D  A base/ masks").
# usage: bench/zip/run.sh [BUILD_DIR]     (needs bench_zip, pelsok-loggen and the libraries built)
# Times are wall-clock seconds, best of 3 runs, with that run's CPU seconds beside them.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# The build folder: the first argument, else $BUILD_DIR, else build/ at the top;
# a relative one is taken from the caller's folder.
build=$(realpath -m "${1:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "run.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 2; }
bin="$build/bin"
for tool in "$bin/bench_zip" "$bin/pelsok-loggen" "$bin/ZIP32J.DLL" "$bin/UNZIP32.DLL"; do
  [ -e "$tool" ] || { echo "run.sh: $tool is missing; build bench_zip and pelsok-loggen first" >&2; exit 2; }
done
for tool in zip unzip 7zz bc; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not on PATH" >&2; exit 2; }
done
bin=$(cd "$bin" && pwd)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 10 --seed 2026
cd "$work"
size=$(cat logs/DR10*.log | wc -c)
files=$(ls logs | wc -l)

# best <command...>: "wall cpu" of the run with the shortest wall time of three, in seconds
# (cpu: user and system of every thread). On a busy machine the wall time of a tool on two
# threads suffers more than that of a one-thread tool; the CPU seconds show how much.
best() {
  local b=999999 c=0 w u s
  for _ in 1 2 3; do
    read -r w u s < <({ TIMEFORMAT='%R %U %S'; time "$@" > /dev/null; } 2>&1)
    if (( $(echo "$w < $b" | bc -l) )); then b=$w; c=$(echo "$u + $s" | bc -l); fi
  done
  echo "$b $c"
}
ratio() { echo "scale=3; $1 / $2" | bc -l; }

# Every archiver stores the bare file names, as the product does (it gives the logs' folder
# as the base folder), so the archives differ in their data and records only.
ours_pack() { rm -f ours.zip; "$bin/bench_zip" "$bin/ZIP32J.DLL" Zip " -D  \"$work/ours.zip\" \"$work/logs/\" \"DR10*.log\" "; }
ours8_pack() { rm -f ours8.zip; "$bin/bench_zip" "$bin/ZIP32J.DLL" Zip " -D -8  \"$work/ours8.zip\" \"$work/logs/\" \"DR10*.log\" "; }
zip6_pack() { rm -f zip6.zip; (cd logs && zip -q -6 ../zip6.zip DR10*.log); }
sz5_pack() { rm -f 7z5.zip; (cd logs && 7zz a -tzip -mx5 ../7z5.zip DR10*.log); }
ours_unpack() { rm -rf out-ours; "$bin/bench_zip" "$bin/UNZIP32.DLL" UnZip "-x -o  \"$work/ours.zip\" \"$work/out-ours/\" "; }
unzip_unpack() { rm -rf out-unzip; unzip -qq -o ours.zip -d out-unzip; }

read -r ours_c ours_cpu < <(best ours_pack); ours_size=$(stat -c %s ours.zip)
read -r ours8_c ours8_cpu < <(best ours8_pack); ours8_size=$(stat -c %s ours8.zip)
read -r zip6_c zip6_cpu < <(best zip6_pack); zip6_size=$(stat -c %s zip6.zip)
read -r sz5_c sz5_cpu < <(best sz5_pack); sz5_size=$(stat -c %s 7z5.zip)
read -r ours_x ours_xcpu < <(best ours_unpack)
read -r unzip_x unzip_xcpu < <(best unzip_unpack)
cmp <(cat logs/DR10*.log) <(cat out-ours/DR10*.log) \
  || { echo "run.sh: our extraction differs from the input" >&2; exit 1; }

echo "Input: $files generated daily logs, $size bytes"
printf '%-26s %11s %8s %10s %8s\n' "archiver" "bytes" "ratio" "create s" "cpu s"
printf '%-26s %11d %8s %10.3f %8.3f\n' "ours (ZIP32J.DLL default)" "$ours_size" "$(ratio "$ours_size" "$size")" "$ours_c" "$ours_cpu"
printf '%-26s %11d %8s %10.3f %8.3f\n' "ours -8" "$ours8_size" "$(ratio "$ours8_size" "$size")" "$ours8_c" "$ours8_cpu"
printf '%-26s %11d %8s %10.3f %8.3f\n' "zip -6" "$zip6_size" "$(ratio "$zip6_size" "$size")" "$zip6_c" "$zip6_cpu"
printf '%-26s %11d %8s %10.3f %8.3f\n' "7zz a -tzip -mx5" "$sz5_size" "$(ratio "$sz5_size" "$size")" "$sz5_c" "$sz5_cpu"
echo
echo "size, ours / zip -6:                 $(ratio "$ours_size" "$zip6_size")"
echo "size, ours / 7zz -mx5:               $(ratio "$ours_size" "$sz5_size")   (target <= 1)"
echo "create time, ours / zip -6:          $(ratio "$ours_c" "$zip6_c")   (target <= 0.5; CPU seconds $(ratio "$ours_cpu" "$zip6_cpu"))"
echo "create time, ours / 7zz -mx5:        $(ratio "$ours_c" "$sz5_c")"
echo "ours -8: size / 7zz -mx5 $(ratio "$ours8_size" "$sz5_size"), create time / zip -6 $(ratio "$ours8_c" "$zip6_c")"
echo "extract time, ours / unzip:          $(ratio "$ours_x" "$unzip_x")   (target <= 0.5; ours $ours_x s, unzip $unzip_x s; CPU seconds $(ratio "$ours_xcpu" "$unzip_xcpu"))"
