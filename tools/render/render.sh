#!/bin/sh
# Renders the four windows to PNG files for review, on Qt's offscreen
# platform with a throw-away settings hive.
#   tools/render/render.sh [BUILD_DIR] [OUT_DIR]
# The build folder: the first argument, else $BUILD_DIR, else build/ at the
# top; the pictures go to the second argument, else $OUT_DIR, else
# BUILD_DIR/render. Relative folders are taken from the caller's folder.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath -m "${1:-${BUILD_DIR:-$root/build}}")
[ -d "$build" ] || { echo "render.sh: no build folder $build (give it as BUILD_DIR or the first argument)" >&2; exit 2; }
out=$(realpath -m "${2:-${OUT_DIR:-$build/render}}")
ninja -C "$build" pelsok-render
mkdir -p "$out"
hive=$(mktemp)
trap 'rm -f "$hive"' EXIT
cd "$(dirname "$0")/../.."
QT_QPA_PLATFORM=offscreen PELSOK_HIVE="$hive" "$build/bin/pelsok-render" "$out"
