#!/usr/bin/env bash
# Builds the program and runs its main job: two generated PAL films become a
# VCD 2.0 image with a chapter every five seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja
cmake --build "$build"
samples=$(pwd)/samples
sh scripts/make-samples.sh "$samples"
"$build/lumora-cli" check
"$build/lumora-cli" --yes author --type vcd20 --chapters-every 5 --label LUMORA_DEMO \
    --save "$samples/demo.dsv" --output "$samples/videocd.bin" \
    "$samples/sample_1.mpg" "$samples/sample_2.mpg" | grep -v '^debug:'
echo "The disc image is $samples/videocd.bin (with $samples/videocd.cue)."
