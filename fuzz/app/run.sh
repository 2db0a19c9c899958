#!/usr/bin/env bash
# The application's text parsers.
# usage: fuzz/app/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" pelsok_app_fuzz "$here/seeds"
