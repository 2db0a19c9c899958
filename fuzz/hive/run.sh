#!/usr/bin/env bash
# The hive file parser.
# usage: fuzz/hive/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" hive_fuzz "$here/seeds"
