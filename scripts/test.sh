#!/usr/bin/env bash
# Builds everything and runs the whole test suite; ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j2
