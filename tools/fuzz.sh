#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each briefly on its seeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A relative BUILD_DIR is taken from the caller's folder.
build=$(realpath -m "${BUILD_DIR:-$root/build-fuzz}")
seconds=${FUZZ_SECONDS:-20}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPELSOK_FUZZ=ON -DPELSOK_APP=OFF -DPELSOK_TESTS=OFF
cmake --build "$build" -j"$(nproc)"
for run in "$root"/fuzz/*/run.sh; do
  echo "== $run"
  bash "$run" "$build/bin" "$seconds"
done
