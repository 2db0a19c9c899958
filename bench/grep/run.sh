#!/bin/bash
# Searching a generated year of logs (12 months x 31 daily logs of one kind,
# fixed seed) packed by us as LZH, ZIP and TGZ: pelsok-cli grep against
# `lhasa p | grep`, `unzip -p | grep`, `tar xOzf | grep` and zgrep, in one
# run, for a fixed string that occurs rarely and for a regular expression.
# Each reference goes through the twelve archives one after another, as a
# shell loop would; pelsok-cli is given the folder. Throughput is MB of logs
# per wall second (the point is using both cores); CPU seconds are shown
# beside. Every tool must print the same matching lines.
# usage: bench/grep/run.sh [BUILD_DIR]   (needs pelsok-cli, the libraries and pelsok-loggen built there)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
# The build folder: the first argument, else $BUILD_DIR, else build/ at the top;
# a relative one is taken from the caller's folder.
build=$(realpath -m "${1:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "run.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 2; }
bin="$build/bin"
for tool in "$bin/pelsok-cli" "$bin/pelsok-loggen" "$bin/UNLHA32.DLL" "$bin/UNZIP32.DLL" "$bin/ZIP32J.DLL" "$bin/tar32.dll"; do
  [ -e "$tool" ] || { echo "run.sh: $tool is missing; build pelsok-cli, the libraries and pelsok-loggen first" >&2; exit 2; }
done
for tool in lhasa unzip tar zgrep grep bc; do
  command -v "$tool" >/dev/null || { echo "run.sh: $tool is not on PATH" >&2; exit 2; }
done
bytes_per_day=${BYTES_PER_DAY:-400000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export PELSOK_HIVE="$work/hive.reg"
for m in $(seq 1 12); do
  "$bin/pelsok-loggen" --out "$work/logs$m" --kind DR --year 2026 --month "$m" --seed 2026 \
    --bytes-per-day "$bytes_per_day" >/dev/null
done
size=$(cat "$work"/logs*/* | wc -c)
mkdir "$work/lzh" "$work/zip" "$work/tgz"
for f in lzh zip tgz; do
  for m in $(seq 1 12); do
    (cd "$work/logs$m" && "$bin/pelsok-cli" --folder . --kind DR --year 26 --month "$m" --format "$f" >/dev/null)
  done
  mv "$work"/logs*/DR26*.* "$work/$f/"
done

# A rare fixed string (one user's id) and a regular expression.
fixed=$(grep -h -m1 -o 'user [0-9a-f]\{8\}' "$work/logs6/DR0615.log" | head -1)
regex='GET /(index\.html)? 5[0-9]{2} [0-9]+ [0-9]+ ms'

# timed <command...>: "cpu wall" seconds of one run
timed() {
  local TIMEFORMAT='%U %S %R' t
  t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
  read -r u s r <<<"$t"
  echo "$(echo "$u + $s" | bc -l) $r"
}
mbps() { echo "scale=1; $size / 1000000 / $1" | bc -l; }
ratio() { echo "scale=2; $1 / $2" | bc -l; }
# The matching lines alone, sorted: our lines lose "ARCHIVE:MEMBER:LINE:".
ours_lines() { "$bin/pelsok-cli" grep "$@" | sed -E 's/^[^:]*:[^:]*:[0-9]+://' | sort; }

lines_lhasa() { for a in "$work"/lzh/*; do lhasa p "$a"; done | grep "$@" | sort; }
lines_unzip() { for a in "$work"/zip/*; do unzip -p "$a"; done | grep "$@" | sort; }
lines_tar() { for a in "$work"/tgz/*; do tar xOzf "$a"; done | grep "$@" | sort; }
lines_zgrep() { zgrep -h -a "$@" "$work"/tgz/* | sort; }
run_lhasa() { for a in "$work"/lzh/*; do lhasa p "$a" | grep "$@"; done; }
run_unzip() { for a in "$work"/zip/*; do unzip -p "$a" | grep "$@"; done; }
run_tar() { for a in "$work"/tgz/*; do tar xOzf "$a" | grep "$@"; done; }
run_zgrep() { zgrep -h -a "$@" "$work"/tgz/*; }
run_ours() { "$bin/pelsok-cli" grep "$@"; }

echo "Input: 12 months x 31 generated logs, $size bytes; packed by us as LZH, ZIP, TGZ; one run each"
echo "The machine is shared: wall times stretch when other work runs."
printf '%-24s %-6s %10s %10s %8s\n' "tool" "search" "CPU s" "wall s" "MB/s"
declare -A tp
best_fixed=0; best_regex=0; ours_fixed=0; ours_regex=0; ok=yes
for kind in fixed regex; do
  if [ "$kind" = fixed ]; then args=(-F "$fixed"); else args=(-E "$regex"); fi
  expected=$(lines_unzip "${args[@]}" || true)
  [ -n "$expected" ] || { echo "run.sh: the $kind search matches nothing" >&2; exit 1; }
  for ref in lhasa unzip tar zgrep; do
    [ "$(lines_$ref "${args[@]}" || true)" = "$expected" ] || { echo "run.sh: $ref's lines differ" >&2; ok=no; }
    read -r cpu wall < <(timed run_$ref "${args[@]}")
    t=$(mbps "$wall"); tp[$ref.$kind]=$t
    printf '%-24s %-6s %10.2f %10.2f %8s\n' "$ref" "$kind" "$cpu" "$wall" "$t"
    if [ "$kind" = fixed ]; then
      [ "$(echo "$t > $best_fixed" | bc)" = 1 ] && best_fixed=$t
    else
      [ "$(echo "$t > $best_regex" | bc)" = 1 ] && best_regex=$t
    fi
  done
  for f in lzh zip tgz; do
    [ "$(ours_lines "${args[@]}" "$work/$f" || true)" = "$expected" ] || { echo "run.sh: our $f lines differ" >&2; ok=no; }
    read -r cpu wall < <(timed run_ours "${args[@]}" "$work/$f")
    t=$(mbps "$wall"); tp[$f.$kind]=$t
    printf '%-24s %-6s %10.2f %10.2f %8s\n' "pelsok-cli grep $f" "$kind" "$cpu" "$wall" "$t"
    if [ "$kind" = fixed ]; then
      [ "$(echo "$t > $ours_fixed" | bc)" = 1 ] && ours_fixed=$t
    else
      [ "$(echo "$t > $ours_regex" | bc)" = 1 ] && ours_regex=$t
    fi
  done
done
echo
echo "same matching lines in every tool: $ok"
echo "fixed string, ours (best format) / fastest reference: $(ratio "$ours_fixed" "$best_fixed")   (target >= 2)"
echo "regex,        ours (best format) / fastest reference: $(ratio "$ours_regex" "$best_regex")   (target >= 2)"
for kind in fixed regex; do
  echo "$kind, format by format: lzh / lhasa $(ratio "${tp[lzh.$kind]}" "${tp[lhasa.$kind]}"), zip / unzip $(ratio "${tp[zip.$kind]}" "${tp[unzip.$kind]}"), tgz / tar $(ratio "${tp[tgz.$kind]}" "${tp[tar.$kind]}"), tgz / zgrep $(ratio "${tp[tgz.$kind]}" "${tp[zgrep.$kind]}")"
done
