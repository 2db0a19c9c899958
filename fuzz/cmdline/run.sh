#!/usr/bin/env bash
# The command-line reader the archiver libraries share.
# usage: fuzz/cmdline/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" cmdline_fuzz "$here/seeds" -max_len=4096
