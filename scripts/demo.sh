#!/usr/bin/env bash
# Builds the program and runs its main job on generated samples.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build"
"$build/lumora-cli" --version
