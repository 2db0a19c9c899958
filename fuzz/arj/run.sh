#!/usr/bin/env bash
# The ARJ archive reader, then the method decoders, each for half the time.
# usage: fuzz/arj/run.sh <bindir> <seconds>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
half=$(( (${2:?} + 1) / 2 ))
"$here/../run-fuzzer.sh" "$1" "$half" arj_archive_fuzz "$here/seeds/archives" -max_len=16384
"$here/../run-fuzzer.sh" "$1" "$half" arj_decode_fuzz "$here/seeds/streams" -max_len=65536
