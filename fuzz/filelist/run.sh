#!/usr/bin/env bash
# The file-list date stamps and item splitting.
# usage: fuzz/filelist/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" filelist_fuzz "$here/seeds"
