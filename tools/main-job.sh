#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job headless: a sample
# month of DR and DD logs packed by the command-line front with our
# UNLHA32.DLL, then listed by lhasa.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)" --target pelsok-cli pelsok-loggen unlha32
sh app/main-job.sh "$build"
