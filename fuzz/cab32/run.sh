#!/usr/bin/env bash
# The cabinet reader of CAB32.DLL.
# usage: fuzz/cab32/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" cab32_cabinet_fuzz "$here/seeds" -max_len=16384
