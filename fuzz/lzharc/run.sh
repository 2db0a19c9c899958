#!/bin/sh
# Runs the LZH header parser fuzzer for a while on a copy of the seed corpus.
# usage: fuzz/lzharc/run.sh <bindir> <seconds>
set -eu
bindir=${1:?usage: run.sh <bindir> <seconds>}
seconds=${2:?usage: run.sh <bindir> <seconds>}
here=$(cd "$(dirname "$0")" && pwd)
fuzzer="$bindir/lzharc_header_fuzz"
[ -x "$fuzzer" ] || { echo "run.sh: $fuzzer not found (configure with -DPELSOK_FUZZ=ON and build lzharc_header_fuzz)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here"/seeds/* "$work"/
"$fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=1024 "$work"
