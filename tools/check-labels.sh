#!/usr/bin/env bash
# Fails when a ctest test carries no label: every test is labelled with the
# part of the tree it tests (its folder under tests/, or bench), beside slow,
# install and the like. Reads the configured and built build folder.
#   tools/check-labels.sh            (build folder: $BUILD_DIR, default build/)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# A relative BUILD_DIR is taken from the caller's folder.
build=$(realpath -m "${BUILD_DIR:-$root/build}")
[ -f "$build/CTestTestfile.cmake" ] || { echo "check-labels: no tests configured in $build" >&2; exit 2; }
all=$(ctest --test-dir "$build" -N | sed -n 's/^Total Tests: //p')
[ "${all:-0}" -gt 0 ] || { echo "check-labels: ctest lists no test in $build" >&2; exit 1; }
unlabelled=$(ctest --test-dir "$build" -N -LE . | grep -E '^ *Test +#' || true)
if [ -n "$unlabelled" ]; then
  echo "$unlabelled" >&2
  echo "check-labels: $(wc -l <<<"$unlabelled") of $all tests carry no label" >&2
  exit 1
fi
echo "check-labels: all $all tests carry a label"
