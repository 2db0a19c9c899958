#!/bin/bash
# Extraction speed of our ARJ reader against arj and 7zz, in one run, on a
# generated log of about 50 MB (31 daily logs of 1.6 MB, fixed seed,
# concatenated) packed by arj with method 1.
# usage: bench/arj/run.sh [BUILD_DIR]     (needs bench_arj and pelsok-loggen built there)
# Each extractor runs once into a fresh folder; wall and CPU (user + system) seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# The build folder: the first argument, else $BUILD_DIR, else build/ at the top;
# a relative one is taken from the caller's folder.
build=$(realpath -m "${1:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "run.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 2; }
bin="$build/bin"
for tool in "$bin/bench_arj" "$bin/pelsok-loggen" "$bin/UNARJ32J.DLL"; do
  [ -e "$tool" ] || { echo "run.sh: $tool is missing; build bench_arj and pelsok-loggen first" >&2; exit 2; }
done
for tool in arj 7zz; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not on PATH" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 10 --seed 2026 \
  --bytes-per-day 1650000 >/dev/null
cat "$work"/logs/DR10*.log > "$work/month.log"
size=$(stat -c %s "$work/month.log")
cd "$work"
arj a -m1 month.arj month.log >/dev/null
packed=$(stat -c %s month.arj)

# timed <command...>: "wall user+system" seconds of one run (the command's output is dropped)
timed() {
  local TIMEFORMAT='%R %U %S' t
  t=$({ time "$@" >/dev/null 2>&1; } 2>&1)
  read -r wall user sys <<<"$t"
  echo "$wall $(echo "$user + $sys" | bc -l)"
}
check() { cmp -s month.log "$1/month.log" || { echo "run.sh: $2 extracted different bytes" >&2; exit 1; }; }

read -r ours ours_cpu < <(timed "$bin/bench_arj" "$bin/UNARJ32J.DLL" "x -+  \"$work/month.arj\" \"$work/ours/\" ")
check ours "our library"
mkdir arjout
read -r arj_t arj_cpu < <(cd arjout && timed arj x -y ../month.arj)
check arjout arj
read -r z_t z_cpu < <(timed 7zz x -y -o7zout month.arj)
check 7zout 7zz

mbs() { echo "scale=1; $size / 1000000 / $1" | bc -l; }
ratio() { echo "scale=2; $1 / $2" | bc -l; }
min() { if (($(echo "$1 < $2" | bc -l))); then echo "$1"; else echo "$2"; fi; }
echo "Input: one log of $size bytes, packed by arj -m1 into $packed bytes"
printf '%-24s %9s %9s %11s\n' "extractor" "wall s" "MB/s" "CPU s"
printf '%-24s %9.3f %9s %11.3f\n' "ours (UNARJ32J.DLL x)" "$ours" "$(mbs "$ours")" "$ours_cpu"
printf '%-24s %9.3f %9s %11.3f\n' "arj x" "$arj_t" "$(mbs "$arj_t")" "$arj_cpu"
printf '%-24s %9.3f %9s %11.3f\n' "7zz x" "$z_t" "$(mbs "$z_t")" "$z_cpu"
echo
echo "wall speed, ours / arj x:              $(ratio "$arj_t" "$ours")"
echo "wall speed, ours / 7zz x:              $(ratio "$z_t" "$ours")"
echo "wall speed, ours / the faster of them: $(ratio "$(min "$arj_t" "$z_t")" "$ours")   (target >= 1)"
echo "CPU speed, ours / the faster of them:  $(ratio "$(min "$arj_cpu" "$z_cpu")" "$ours_cpu")"
echo "(our wall time includes syncing the extracted file to disk before it is renamed into place)"
