#!/bin/sh
# Renders the four windows to PNG files for review, on Qt's offscreen
# platform with a throw-away settings hive.
#   tools/render/render.sh [BUILD_DIR] [OUT_DIR]
set -eu
build=${1:-build-app}
out=${2:-$build/render}
ninja -C "$build" pelsok-render
build=$(cd "$build" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
hive=$(mktemp)
trap 'rm -f "$hive"' EXIT
cd "$(dirname "$0")/../.."
QT_QPA_PLATFORM=offscreen PELSOK_HIVE="$hive" "$build/bin/pelsok-render" "$out"
