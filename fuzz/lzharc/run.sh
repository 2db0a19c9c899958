#!/usr/bin/env bash
# The LZH header parser.
# usage: fuzz/lzharc/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" lzharc_header_fuzz "$here/seeds" -max_len=8192
