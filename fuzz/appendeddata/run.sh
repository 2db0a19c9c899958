#!/usr/bin/env bash
# The ELF header reader of self-extracting programs.
# usage: fuzz/appendeddata/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" appended_data_fuzz "$here/seeds" -max_len=4096
