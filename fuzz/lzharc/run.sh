#!/usr/bin/env bash
# The LZH header parser, then whole archives, each for half the time.
# usage: fuzz/lzharc/run.sh <bindir> <seconds>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
half=$(( (${2:?} + 1) / 2 ))
"$here/../run-fuzzer.sh" "$1" "$half" lzharc_header_fuzz "$here/seeds" -max_len=8192
"$here/../run-fuzzer.sh" "$1" "$half" lzharc_archive_fuzz "$here/seeds" -max_len=8192
