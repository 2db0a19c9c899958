#!/bin/bash
# What the checksum manifest costs a run: `pelsok-cli --delete` on one
# generated month of logs (31 files, fixed seed), with the manifest and with
# --no-manifest, each on a fresh copy of the logs, REPS times each (default
# 7, the two kinds taking turns), the best of each kept. The member hashes
# come from the check before deletion's one pass over the members; the
# manifest adds a read of the compressed archive. Times are CPU seconds
# (user + system, children included), which a busy machine does not
# stretch; wall seconds are shown beside them.
# usage: bench/manifest/run.sh [BUILD_DIR]   (needs pelsok-cli, the libraries and pelsok-loggen built there)
#        FORMAT=zip REPS=5 BYTES_PER_DAY=... bench/manifest/run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# The build folder: the first argument, else $BUILD_DIR, else build/ at the top;
# a relative one is taken from the caller's folder.
build=$(realpath -m "${1:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "run.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 2; }
bin="$build/bin"
format=${FORMAT:-lzh}
reps=${REPS:-7}
for tool in "$bin/pelsok-cli" "$bin/pelsok-loggen"; do
  [ -e "$tool" ] || { echo "run.sh: $tool is missing; build pelsok-cli, the libraries and pelsok-loggen first" >&2; exit 2; }
done
for tool in bc sha256sum; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not on PATH" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PELSOK_HIVE="$work/hive.reg"
loggen=("$bin/pelsok-loggen" --out "$work/logs" --kind DR --year 2026 --month 10 --seed 2026)
[ -n "${BYTES_PER_DAY:-}" ] && loggen+=(--bytes-per-day "$BYTES_PER_DAY")
"${loggen[@]}" >/dev/null
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
min() { echo "if ($1 < $2) $1 else $2" | bc -l; }

# run <with|without>: one timed run on a fresh copy; checks what it left.
run() {
  rm -rf "$work/run"
  cp -r "$work/logs" "$work/run"
  local extra=()
  [ "$1" = without ] && extra=(--no-manifest)
  timed "$bin/pelsok-cli" --folder "$work/run/" --kind DR --year 26 --month 10 --delete \
    --format "$format" "${extra[@]}"
  local left
  left=$(find "$work/run" -name 'DR10*.log' | wc -l)
  [ "$left" -eq 0 ] || { echo "run.sh: $left logs were not deleted ($1)" >&2; exit 1; }
  if [ "$1" = with ]; then
    (cd "$work/run" && sha256sum -c --ignore-missing --quiet DR2610.*.sha256) >&2 ||
      { echo "run.sh: the manifest does not check" >&2; exit 1; }
  elif ls "$work"/run/*.sha256 >/dev/null 2>&1; then
    echo "run.sh: --no-manifest wrote a manifest" >&2; exit 1
  fi
}

best_with=; best_with_w=; best_without=; best_without_w=
for i in $(seq 1 "$reps"); do
  r=$(run without); read -r c w <<<"$r"
  best_without=$(min "$c" "${best_without:-$c}"); best_without_w=$(min "$w" "${best_without_w:-$w}")
  r=$(run with); read -r c w <<<"$r"
  best_with=$(min "$c" "${best_with:-$c}"); best_with_w=$(min "$w" "${best_with_w:-$w}")
done

echo "Input: $files generated daily logs, $size bytes; format $format; best of $reps runs each"
printf '%-40s %10s %10s\n' "pelsok-cli --delete" "CPU s" "wall s"
printf '%-40s %10.3f %10.3f\n' "with the manifest" "$best_with" "$best_with_w"
printf '%-40s %10.3f %10.3f\n' "--no-manifest" "$best_without" "$best_without_w"
echo
echo "with / without (CPU):  $(ratio "$best_with" "$best_without")   (target <= 1.05)"
echo "with / without (wall): $(ratio "$best_with_w" "$best_without_w")"
