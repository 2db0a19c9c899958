#!/usr/bin/env bash
# tar32.dll's entries on damaged tar, tgz, tbz, taz, txz and tzst files.
# usage: fuzz/tar32/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" tar32_entries_fuzz "$here/seeds" -max_len=65536 \
  -dict="$here/tar32.dict"
