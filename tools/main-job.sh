#!/usr/bin/env bash
# The main job, end to end: installs what is missing, builds, then packs a
# sample month (November 2026) of DR and DD logs made by pelsok-loggen in a
# temporary folder with the command-line front and our UNLHA32.DLL, and lists
# the archives with lhasa, an independent tool; then packs an NA month into a
# ZIP with --delete (logs go only after the archive gave them back) and lists
# it with unzip.
#   tools/main-job.sh            (build folder: $BUILD_DIR, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A relative BUILD_DIR is taken from the caller's folder.
build=$(realpath -m "${BUILD_DIR:-$root/build}")
bash "$root/tools/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)" --target pelsok-cli pelsok-loggen unlha32 \
  zip32j unzip32
bin=$build/bin

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
logs=$work/logs
mkdir -p "$logs"
"$bin/pelsok-loggen" --out "$logs" --kind DR --year 2026 --month 11 --seed 1
"$bin/pelsok-loggen" --out "$logs" --kind DD --year 2026 --month 11 --seed 2
"$bin/pelsok-loggen" --out "$logs" --kind NA --year 2026 --month 11 --seed 3
echo "== logs"
ls "$logs"

echo "== pelsok-cli"
PELSOK_HIVE="$work/hive.reg" "$bin/pelsok-cli" --kinds DR,DD --year 26 --month 11 --folder "$logs"

for archive in "$logs/DR2611.LZH" "$logs/DD2611.LZH"; do
  echo "== lhasa l $(basename "$archive")"
  lhasa l "$archive"
done

echo "== pelsok-cli --format zip --delete"
PELSOK_HIVE="$work/hive.reg" "$bin/pelsok-cli" --kind NA --year 26 --month 11 --folder "$logs" \
  --format zip --delete
echo "== unzip -l NA2611.ZIP"
unzip -l "$logs/NA2611.ZIP"
echo "== NA logs left: $(find "$logs" -name 'NA*.log' | wc -l)"
echo "== sha256sum -c --ignore-missing NA2611.ZIP.sha256"
(cd "$logs" && sha256sum -c --ignore-missing NA2611.ZIP.sha256)
