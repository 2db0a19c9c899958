#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the test suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/install-deps.sh"
# A relative BUILD_DIR is taken from the caller's folder.
build=$(realpath -m "${BUILD_DIR:-$root/build}")
# The compile commands are for tools/check-naming.sh.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
