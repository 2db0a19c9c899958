#!/bin/bash
# Size and speed of tar32.dll on one generated month of logs (31 files, fixed
# seed) against `tar cf - | gzip -6` and bsdtar at gzip level 6, in one run
# (one timing each): size and time to create a .tgz, time to extract it; then
# .txz and .tzst at the library's default levels against `tar | xz -6`,
# `tar | xz -6 -T2` and `tar | zstd -T2` at our zstd level, and the
# extraction of .tzst against that of .tgz; then .tbz (bzip2 -9 on every
# core) against `tar cjf` (bzip2 -9 on one).
# Times are CPU seconds (user + system, children included), which a busy
# machine does not stretch; wall seconds are shown beside them. Extractions
# are timed three times and the fastest kept.
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
for tool in tar gzip bzip2 bsdtar bc xz zstd; do
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
# extracted DIR <command...>: "cpu wall" of the fastest of three runs (by CPU),
# each into DIR emptied first: an extraction is short enough for one run to
# be mostly noise on a shared machine.
extracted() {
  local dir=$1 best="" t
  shift
  for _ in 1 2 3; do
    rm -rf "$dir" && mkdir -p "$dir"
    t=$(timed "$@")
    if [ -z "$best" ] || (( $(echo "${t%% *} < ${best%% *}" | bc -l) )); then best=$t; fi
  done
  echo "$best"
}

cd "$work"
mkdir x-ours x-gnu x-bsd
read -r ours_c ours_cw < <(timed "$bin/bench_tar" "$bin/tar32.dll" "c -z6 -f \"$work/ours.tgz\" -o \"$work/logs/\" \"*.log\"")
read -r gnu_c gnu_cw < <(timed sh -c "tar cf - -C logs . | gzip -6 > gnu.tgz")
read -r pz_c pz_cw < <(timed sh -c "tar cf - -C logs . | pigz -6 -p2 > pigz.tgz")
read -r bsd_c bsd_cw < <(timed bsdtar -czf bsd.tgz --options gzip:compression-level=6 -C logs .)
ours_size=$(stat -c %s ours.tgz); gnu_size=$(stat -c %s gnu.tgz); bsd_size=$(stat -c %s bsd.tgz)
read -r ours_x ours_xw < <(extracted x-ours "$bin/bench_tar" "$bin/tar32.dll" "x -f \"$work/ours.tgz\" -o \"$work/x-ours/\"")
read -r gnu_x gnu_xw < <(extracted x-gnu tar xzf gnu.tgz -C x-gnu)
read -r bsd_x bsd_xw < <(extracted x-bsd bsdtar xzf bsd.tgz -C x-bsd)
diff -r logs x-ours >/dev/null || { echo "run.sh: our extraction differs from the logs" >&2; exit 1; }

# xz and zstd: our defaults (the level zstd runs at is read from the source).
zlevel=$(sed -n 's/.*kDefaultZstdLevel = \([0-9]*\);.*/\1/p' "$root/archivers/tar32/StreamCompressor.h")
mkdir x-txz x-tzst x-gnutzst
read -r txz_c txz_cw < <(timed "$bin/bench_tar" "$bin/tar32.dll" "c -J -f \"$work/ours.txz\" -o \"$work/logs/\" \"*.log\"")
read -r xz6_c xz6_cw < <(timed sh -c "tar cf - -C logs . | xz -6 > gnu6.txz")
read -r xz6t_c xz6t_cw < <(timed sh -c "tar cf - -C logs . | xz -6 -T2 > gnu6t2.txz")
read -r tzst_c tzst_cw < <(timed "$bin/bench_tar" "$bin/tar32.dll" "c --zstd -f \"$work/ours.tzst\" -o \"$work/logs/\" \"*.log\"")
read -r zst_c zst_cw < <(timed sh -c "tar cf - -C logs . | zstd -q -T2 -$zlevel > gnu.tzst")
txz_size=$(stat -c %s ours.txz); xz6_size=$(stat -c %s gnu6.txz); xz6t_size=$(stat -c %s gnu6t2.txz)
tzst_size=$(stat -c %s ours.tzst); zst_size=$(stat -c %s gnu.tzst)
read -r txz_x txz_xw < <(extracted x-txz "$bin/bench_tar" "$bin/tar32.dll" "x -f \"$work/ours.txz\" -o \"$work/x-txz/\"")
read -r tzst_x tzst_xw < <(extracted x-tzst "$bin/bench_tar" "$bin/tar32.dll" "x -f \"$work/ours.tzst\" -o \"$work/x-tzst/\"")
read -r gzst_x gzst_xw < <(extracted x-gnutzst tar --zstd -xf gnu.tzst -C x-gnutzst)
diff -r logs x-txz >/dev/null && diff -r logs x-tzst >/dev/null ||
  { echo "run.sh: our xz or zstd extraction differs from the logs" >&2; exit 1; }

# bzip2 at level 9 (900 kB blocks), ours and GNU tar's.
mkdir x-tbz x-gnutbz
read -r tbz_c tbz_cw < <(timed "$bin/bench_tar" "$bin/tar32.dll" "c -B -f \"$work/ours.tbz\" -o \"$work/logs/\" \"*.log\"")
read -r cj_c cj_cw < <(timed tar cjf gnu.tbz -C logs .)
tbz_size=$(stat -c %s ours.tbz); cj_size=$(stat -c %s gnu.tbz)
read -r tbz_x tbz_xw < <(timed "$bin/bench_tar" "$bin/tar32.dll" "x -f \"$work/ours.tbz\" -o \"$work/x-tbz/\"")
read -r cj_x cj_xw < <(timed tar xjf gnu.tbz -C x-gnutbz)
diff -r logs x-tbz >/dev/null || { echo "run.sh: our bzip2 extraction differs from the logs" >&2; exit 1; }

echo "Input: $files generated daily logs, $size bytes; one run each (extraction: best of 3); CPU seconds (wall)"
printf '%-34s %10s %6s %16s %16s\n' "tool" "bytes" "ratio" "create s" "extract s"
row() {
  printf '%-34s %10d %6s %7.3f (%6.3f) %7.3f (%6.3f)\n' "$1" "$2" "$(ratio "$2" "$size")" "$3" "$4" "$5" "$6"
}
row "tar32.dll c -z6 / x" "$ours_size" "$ours_c" "$ours_cw" "$ours_x" "$ours_xw"
row "tar cf - | gzip -6 / tar xzf" "$gnu_size" "$gnu_c" "$gnu_cw" "$gnu_x" "$gnu_xw"
row "tar cf - | pigz -6 -p2" "$(stat -c %s pigz.tgz)" "$pz_c" "$pz_cw" 0 0
row "bsdtar -cz (level 6) / bsdtar xzf" "$bsd_size" "$bsd_c" "$bsd_cw" "$bsd_x" "$bsd_xw"
row "tar32.dll c -J / x" "$txz_size" "$txz_c" "$txz_cw" "$txz_x" "$txz_xw"
row "tar cf - | xz -6" "$xz6_size" "$xz6_c" "$xz6_cw" 0 0
row "tar cf - | xz -6 -T2" "$xz6t_size" "$xz6t_c" "$xz6t_cw" 0 0
row "tar32.dll c --zstd (-$zlevel) / x" "$tzst_size" "$tzst_c" "$tzst_cw" "$tzst_x" "$tzst_xw"
row "tar | zstd -T2 -$zlevel / tar --zstd x" "$zst_size" "$zst_c" "$zst_cw" "$gzst_x" "$gzst_xw"
row "tar32.dll c -B / x" "$tbz_size" "$tbz_c" "$tbz_cw" "$tbz_x" "$tbz_xw"
row "tar cjf / tar xjf" "$cj_size" "$cj_c" "$cj_cw" "$cj_x" "$cj_xw"
echo
echo "size,    ours / tar|gzip -6:       $(ratio "$ours_size" "$gnu_size")   (target <= 1.00)"
echo "create,  tar|gzip -6 / ours (CPU): $(ratio "$gnu_c" "$ours_c")   (target >= 1: no slower)"
echo "create,  ours / tar|pigz -6 -p2 (wall): $(ratio "$ours_cw" "$pz_cw")   (target <= 1)"
echo "size,    ours / bsdtar:            $(ratio "$ours_size" "$bsd_size")"
echo "create,  bsdtar / ours (CPU):      $(ratio "$bsd_c" "$ours_c")"
echo "extract, tar xzf / ours (CPU):     $(ratio "$gnu_x" "$ours_x")"
echo "extract, bsdtar xzf / ours (CPU):  $(ratio "$bsd_x" "$ours_x")"
echo "extract, ours / bsdtar xzf (CPU):  $(ratio "$ours_x" "$bsd_x")   (target <= 1)"
echo "extract, ours / bsdtar xzf (wall): $(ratio "$ours_xw" "$bsd_xw")   (target <= 1)"
echo
echo "TXZ size,   ours / tar|xz -6:            $(ratio "$txz_size" "$xz6_size")   (target <= 1.00)"
echo "TXZ create, tar|xz -6 -T2 / ours (CPU):  $(ratio "$xz6t_c" "$txz_c")   (target >= 1: no slower)"
echo "TXZ create, tar|xz -6 -T2 / ours (wall): $(ratio "$xz6t_cw" "$txz_cw")"
echo "TZST size,  ours / tar|zstd -T2 -$zlevel:      $(ratio "$tzst_size" "$zst_size")   (target <= 1.00)"
echo "TZST create, tar|zstd -T2 / ours (CPU):  $(ratio "$zst_c" "$tzst_c")   (target >= 1: no slower)"
echo "TZST create, tar|zstd -T2 / ours (wall): $(ratio "$zst_cw" "$tzst_cw")"
echo "TZST extract, our TGZ / our TZST (CPU):  $(ratio "$ours_x" "$tzst_x")   (target >= 3)"
echo "TZST extract, our TGZ / our TZST (wall): $(ratio "$ours_xw" "$tzst_xw")"
echo
echo "TBZ size,   ours / tar cjf:         $(ratio "$tbz_size" "$cj_size")   (target <= 1.00)"
echo "TBZ create, ours / tar cjf (wall):  $(ratio "$tbz_cw" "$cj_cw")   (target <= 0.6)"
echo "TBZ create, ours / tar cjf (CPU):   $(ratio "$tbz_c" "$cj_c")"
echo "TBZ extract, ours / tar xjf (wall): $(ratio "$tbz_xw" "$cj_xw")"
