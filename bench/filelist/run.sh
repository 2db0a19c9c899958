#!/usr/bin/env bash
# Times ExpandFileList (r = 1, mask *.log) against find DIR -name MASK | sort
# on 100,000 files in 1,000 folders and prints the ratio (target: 2 or less).
# Usage: bench/filelist/run.sh [BUILD_DIR]   (default: $BUILD_DIR, else build/); needs bin/bench_filelist built.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
# The build folder: the first argument, else $BUILD_DIR, else build/ at the top;
# a relative one is taken from the caller's folder.
build=$(realpath -m "${1:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "run.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 1; }
bench=$build/bin/bench_filelist
[ -x "$bench" ] || { echo "missing $bench: ninja -C $build bench_filelist" >&2; exit 1; }
command -v find >/dev/null && command -v sort >/dev/null || { echo "find and sort are needed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tree=$work/tree
"$bench" make "$tree" 1000 100

now() { date +%s%N; }
best_ours=0 best_find=0
for run in 1 2 3 4 5; do
  t0=$(now)
  "$bench" expand "$tree/*.log" >"$work/ours.txt" 2>"$work/ours.err"
  t1=$(now)
  find "$tree" -name '*.log' | sort >"$work/find.txt"
  t2=$(now)
  ours=$(( (t1 - t0) / 1000 )) theirs=$(( (t2 - t1) / 1000 ))
  (( best_ours == 0 || ours < best_ours )) && best_ours=$ours
  (( best_find == 0 || theirs < best_find )) && best_find=$theirs
  echo "run $run: ExpandFileList ${ours} us ($(cat "$work/ours.err")), find | sort ${theirs} us"
done

# Same files, whatever the order.
if ! cmp -s <(LC_ALL=C sort "$work/ours.txt") <(LC_ALL=C sort "$work/find.txt"); then
  echo "the two lists differ" >&2
  exit 1
fi
echo "files: $(wc -l <"$work/ours.txt") of $(find "$tree" -type f | wc -l)"
awk -v a="$best_ours" -v b="$best_find" \
  'BEGIN { printf "best of 5: ExpandFileList %.1f ms, find | sort %.1f ms, ratio %.2f\n", a/1000, b/1000, a/b }'
