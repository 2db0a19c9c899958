#!/usr/bin/env bash
# The LZH decoders, then compress-and-decompress, each for half the time.
# usage: fuzz/lzhcodec/run.sh <bindir> <seconds>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
half=$(( (${2:?} + 1) / 2 ))
"$here/../run-fuzzer.sh" "$1" "$half" lzh_decode_fuzz "$here/seeds" -max_len=65536
"$here/../run-fuzzer.sh" "$1" "$half" lzh_roundtrip_fuzz "$here/seeds" -max_len=65536
