#!/bin/sh
# The main job, end to end: a sample month (November 2026) of DR and DD logs
# made by pelsok-loggen in a temporary folder, packed by the command-line
# front with UNLHA32.DLL, and the archives listed by lhasa, an independent tool.
#   app/main-job.sh [BUILD_DIR]      (default: build)
set -eu
build=${1:-build}
# Builds what the job runs when the build folder has those targets.
ninja -C "$build" pelsok-cli pelsok-loggen unlha32 >/dev/null 2>&1 ||
  ninja -C "$build" pelsok-cli pelsok-loggen
bin=$(cd "$build/bin" && pwd)
for f in "$bin/pelsok-cli" "$bin/pelsok-loggen" "$bin/UNLHA32.DLL"; do
  [ -e "$f" ] || { echo "main-job: $f is missing (build it first)" >&2; exit 1; }
done
command -v lhasa >/dev/null || { echo "main-job: lhasa is not on PATH (apt-get install lhasa)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
logs="$work/logs"
mkdir -p "$logs"
"$bin/pelsok-loggen" --out "$logs" --kind DR --year 2026 --month 11 --seed 1
"$bin/pelsok-loggen" --out "$logs" --kind DD --year 2026 --month 11 --seed 2
echo "== logs"
ls "$logs"

echo "== pelsok-cli"
PELSOK_HIVE="$work/hive.reg" "$bin/pelsok-cli" --kinds DR,DD --year 26 --month 11 --folder "$logs"

for archive in "$logs/DR2611.LZH" "$logs/DD2611.LZH"; do
  echo "== lhasa l $(basename "$archive")"
  lhasa l "$archive"
done
