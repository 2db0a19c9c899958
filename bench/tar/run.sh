#!/bin/bash
# Size and speed of tar32.dll on one generated month of logs (31 files, fixed
# seed) against `tar cf - | gzip -6` and bsdtar at gzip level 6, in one run
# (one timing each): size and time to create a .tgz, time to extract it.
# Times are CPU seconds (user + system, children included), which a busy
# machine does not stretch; wall seconds are shown beside them.
# usage: bench/tar/run.sh [BUILD_DIR]   (needs tar32.dll, bench_tar and pelsok-loggen built there)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# The build folder: the first argument, else $BUILD_DIR, else build/ at the top;
# a relative one is taken from the caller's folder.
build=$(realpath -m "${1:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "run.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 2; }
bin="$build/bin"
for tool in "$bin/bench_tar" "$bin/pelsok-loggen" "$bin/tar32.dll"; do
  [ -e "$tool" ] || { echo "run.sh: $tool is missing; build bench_tar and pelsok-loggen first" >&2; exit 2; }
done
for tool in tar gzip pigz bsdtar bc; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not on PATH" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 10 --seed 2026
size=$(cat "$work"/logs/* | wc -c)
files=$(ls "$work"/logs | wc -l)

# timed <command...>: "cpu wall" seconds of one run
timed() {
  local TIMEFORMAT='%U %S %R' t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  read -r u s r <<<"$t"
  echo "$(echo "$u + $s" | bc -l) $r"
}
ratio() { echo "scale=3; $1 / $2" | bc -l; }

cd "$work"
mkdir x-ours x-gnu x-bsd
read -r ours_c ours_cw < <(timed "$bin/bench_tar" "$bin/tar32.dll" "c -z6 -f \"$work/ours.tgz\" -o \"$work/logs/\" \"*.log\"")
read -r gnu_c gnu_cw < <(timed sh -c "tar cf - -C logs . | gzip -6 > gnu.tgz")
read -r pz_c pz_cw < <(timed sh -c "tar cf - -C logs . | pigz -6 -p2 > pigz.tgz")
read -r bsd_c bsd_cw < <(timed bsdtar -czf bsd.tgz --options gzip:compression-level=6 -C logs .)
ours_size=$(stat -c %s ours.tgz); gnu_size=$(stat -c %s gnu.tgz); bsd_size=$(stat -c %s bsd.tgz)
read -r ours_x ours_xw < <(timed "$bin/bench_tar" "$bin/tar32.dll" "x -f \"$work/ours.tgz\" -o \"$work/x-ours/\"")
read -r gnu_x gnu_xw < <(timed tar xzf gnu.tgz -C x-gnu)
read -r bsd_x bsd_xw < <(timed bsdtar xzf bsd.tgz -C x-bsd)
diff -r logs x-ours >/dev/null || { echo "run.sh: our extraction differs from the logs" >&2; exit 1; }

echo "Input: $files generated daily logs, $size bytes; one run each; CPU seconds (wall)"
printf '%-34s %10s %6s %16s %16s\n' "tool" "bytes" "ratio" "create s" "extract s"
row() {
  printf '%-34s %10d %6s %7.3f (%6.3f) %7.3f (%6.3f)\n' "$1" "$2" "$(ratio "$2" "$size")" "$3" "$4" "$5" "$6"
}
row "tar32.dll c -z6 / x" "$ours_size" "$ours_c" "$ours_cw" "$ours_x" "$ours_xw"
row "tar cf - | gzip -6 / tar xzf" "$gnu_size" "$gnu_c" "$gnu_cw" "$gnu_x" "$gnu_xw"
row "tar cf - | pigz -6 -p2" "$(stat -c %s pigz.tgz)" "$pz_c" "$pz_cw" 0 0
row "bsdtar -cz (level 6) / bsdtar xzf" "$bsd_size" "$bsd_c" "$bsd_cw" "$bsd_x" "$bsd_xw"
echo
echo "size,    ours / tar|gzip -6:       $(ratio "$ours_size" "$gnu_size")   (target <= 1.00)"
echo "create,  tar|gzip -6 / ours (CPU): $(ratio "$gnu_c" "$ours_c")   (target >= 1: no slower)"
echo "create,  ours / tar|pigz -6 -p2 (wall): $(ratio "$ours_cw" "$pz_cw")   (target <= 1)"
echo "size,    ours / bsdtar:            $(ratio "$ours_size" "$bsd_size")"
echo "create,  bsdtar / ours (CPU):      $(ratio "$bsd_c" "$ours_c")"
echo "extract, tar xzf / ours (CPU):     $(ratio "$gnu_x" "$ours_x")"
echo "extract, bsdtar xzf / ours (CPU):  $(ratio "$bsd_x" "$ours_x")"
echo "extract, ours / bsdtar xzf (wall): $(ratio "$ours_xw" "$bsd_xw")   (target <= 1)"
