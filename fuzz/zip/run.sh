#!/usr/bin/env bash
# The ZIP libraries' listing and test command.
# usage: fuzz/zip/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" zip_archive_fuzz "$here/seeds" -max_len=16384
