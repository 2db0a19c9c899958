#!/usr/bin/env bash
# Runs one libFuzzer target on a scratch copy of its seeds for a while.
# usage: fuzz/run-fuzzer.sh <bindir> <seconds> <target> <seeddir> [libFuzzer flags...]
# Prints the closing lines when it stays clean, everything when it finds a fault.
set -euo pipefail
bindir=$(realpath -m "${1:?usage: run-fuzzer.sh <bindir> <seconds> <target> <seeddir>}")
seconds=${2:?}
target=${3:?}
seeds=$(realpath -m "${4:?}")
shift 4
fuzzer="$bindir/$target"
[ -x "$fuzzer" ] || { echo "run-fuzzer.sh: $fuzzer not found (configure with -DPELSOK_FUZZ=ON)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp "$seeds"/* "$work/corpus"/
# An impossible allocation size (libarchive's RAR reader can compute one
# from hostile headers) fails as it does in the field, where malloc returns
# NULL and the reader reports the archive damaged; C++ allocations still
# stop the run, and -rss_limit_mb still bounds what is really used.
export ASAN_OPTIONS="allocator_may_return_null=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 "$@" "$work/corpus" \
    > "$work/log" 2>&1; then
  tail -n 2 "$work/log"
else
  cat "$work/log"
  exit 1
fi
