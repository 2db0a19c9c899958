#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer and runs the suite.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A relative BUILD_DIR is taken from the caller's folder.
build=$(realpath -m "${BUILD_DIR:-$root/build-asan}")
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELSOK_SANITIZE=ON
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The window-manager test (label gui) runs the window on a real X server,
# whose client and font libraries keep allocations LeakSanitizer would
# report as ours: it runs in the ordinary suite, not here.
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -LE "slow|install|gui"
