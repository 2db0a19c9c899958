#!/usr/bin/env bash
# run.sh <bindir> <seconds>: runs the application's text-parser fuzzer on its
# seeds (built only when the fuzz build includes the application).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x "$1/pelsok_app_fuzz" ]; then
  echo "pelsok_app_fuzz not built (the application is off in this build)"
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here"/seeds/* "$work"/
"$1/pelsok_app_fuzz" -max_total_time="$2" -timeout=10 "$work" 2>&1 | tail -n 3
