#!/usr/bin/env bash
# What lumora-cli adds to the tools: authoring a VCD 2.0 from the same files
# with `lumora-cli author`, and by hand with vcdxminfo on each file and
# vcdxbuild on the description lumora wrote. Medians of several runs.
#
#   bash benchmarks/authoring_bench.sh [BUILD_DIR] [FILES] [SECONDS] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
files=${2:-4}
seconds=${3:-60}
runs=${4:-5}
cli="$build/lumora-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

inputs=()
for n in $(seq 1 "$files"); do
    ffmpeg -nostdin -hide_banner -loglevel error -y \
        -f lavfi -i "testsrc=duration=$seconds:size=352x288:rate=25" \
        -f lavfi -i "sine=frequency=$((200 + 50 * n)):duration=$seconds" \
        -target pal-vcd -shortest "$work/film_$n.mpg"
    inputs+=("$work/film_$n.mpg")
done

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.6f", b - a }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

author() { "$cli" --yes author --chapters-every 10 --output "$work/lumora.bin" "${inputs[@]}" >/dev/null; }
by_hand() {
    for f in "${inputs[@]}"; do vcdxminfo -v -i -p --gui -a "$f" >/dev/null 2>&1; done
    vcdxbuild -v --gui -p -i bincue --cue-file="$work/hand.cue" --bin-file="$work/hand.bin" \
        "$work/lumora.xml" >/dev/null 2>&1
}

author  # writes the description that the runs by hand build from
cold=() warm=() hand=()
for _ in $(seq 1 "$runs"); do
    rm -f "$work"/*.vxm "$work"/*.vxr
    t0=$(now); author; t1=$(now); cold+=("$(elapsed "$t0" "$t1")")
    t0=$(now); author; t1=$(now); warm+=("$(elapsed "$t0" "$t1")")
    t0=$(now); by_hand; t1=$(now); hand+=("$(elapsed "$t0" "$t1")")
done
cold_s=$(printf '%s\n' "${cold[@]}" | median)
warm_s=$(printf '%s\n' "${warm[@]}" | median)
hand_s=$(printf '%s\n' "${hand[@]}" | median)
size=$(du -sh "$work/lumora.bin" | cut -f1)
printf '%d files of %d s, image %s, median of %d runs\n' "$files" "$seconds" "$size" "$runs"
printf '  vcdxminfo on each file + vcdxbuild by hand : %8.3f s\n' "$hand_s"
printf '  lumora-cli author, analyses not stored     : %8.3f s  (x%s)\n' "$cold_s" "$(ratio "$cold_s" "$hand_s")"
printf '  lumora-cli author, stored analyses reused  : %8.3f s  (x%s)\n' "$warm_s" "$(ratio "$warm_s" "$hand_s")"
