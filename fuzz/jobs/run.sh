#!/usr/bin/env bash
# The jobs file reader and the after-run command's words.
# usage: fuzz/jobs/run.sh <bindir> <seconds>
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/../run-fuzzer.sh" "$1" "$2" pelsok_jobs_fuzz "$here/seeds"
