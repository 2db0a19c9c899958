#!/usr/bin/env bash
# Every library's read entry on damaged LZH, ZIP, tar, CAB, ARJ and RAR files.
# usage: fuzz/memberread/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" member_read_fuzz "$here/seeds" -max_len=65536
