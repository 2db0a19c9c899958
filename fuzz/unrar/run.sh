#!/usr/bin/env bash
# The RAR reading road: header walk, listing and decoding through libarchive.
# usage: fuzz/unrar/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" unrar_archive_fuzz "$here/seeds" -max_len=65536
