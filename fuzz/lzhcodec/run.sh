#!/bin/sh
# Runs the LZH fuzzers (decoders, then compress-and-decompress) on a copy of the seed corpus,
# each for half of the given time.
# usage: fuzz/lzhcodec/run.sh <bindir> <seconds>
set -eu
bindir=${1:?usage: run.sh <bindir> <seconds>}
seconds=${2:?usage: run.sh <bindir> <seconds>}
here=$(cd "$(dirname "$0")" && pwd)
half=$(( (seconds + 1) / 2 ))
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for name in lzh_decode_fuzz lzh_roundtrip_fuzz; do
  fuzzer="$bindir/$name"
  [ -x "$fuzzer" ] || { echo "run.sh: $fuzzer not found (configure with -DPELSOK_FUZZ=ON and build it)" >&2; exit 2; }
  mkdir -p "$work/$name"
  cp "$here"/seeds/* "$work/$name"/
  "$fuzzer" -max_total_time="$half" -max_len=65536 -timeout=10 -rss_limit_mb=1024 "$work/$name"
done
