#!/usr/bin/env bash
# run.sh <bindir> <seconds>: runs the application's text-parser fuzzer on its
# seeds.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$here"/seeds/* "$work"/
"$1/pelsok_app_fuzz" -max_total_time="$2" -timeout=10 "$work" 2>&1 | tail -n 3
