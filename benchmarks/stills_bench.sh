#!/usr/bin/env bash
# Pictures per second of `lumora-cli stills` on 12-megapixel photos: each
# still type in both TV systems (spline filter), each filter (VCD dual PAL),
# and the speed-up of --jobs 2 over --jobs 1 on the same batch. Medians of
# several runs; the output folder is fresh for every run.
#
#   bash benchmarks/stills_bench.sh [BUILD_DIR] [PICTURES] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
pictures=${2:-6}
runs=${3:-3}
cli="$build/lumora-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 4000 x 3000 camera-like JPEGs: a moving pattern with grain, quality about 90.
mkdir -p "$work/photos"
for n in $(seq 1 "$pictures"); do
    ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi \
        -i "testsrc2=size=4000x3000:rate=1,noise=alls=20:allf=t" -ss "$n" -frames:v 1 -q:v 3 -update 1 \
        "$work/photos/photo_$n.jpg"
done

now() { date +%s.%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Seconds of one batch (median of the runs).
batch_seconds() {
    local times=()
    for _ in $(seq 1 "$runs"); do
        rm -rf "$work/out" && mkdir "$work/out"
        local start end
        start=$(now)
        "$cli" --yes stills "$@" --output-folder "$work/out" "$work/photos" >/dev/null
        end=$(now)
        times+=("$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.4f", b - a }')")
    done
    printf '%s\n' "${times[@]}" | median
}

rate() { awk -v n="$pictures" -v s="$1" 'BEGIN { printf "%.2f", n / s }'; }

echo "$pictures photos of 4000x3000, median of $runs runs, $(nproc) cores"
printf '%-12s %-5s %-8s %8s %12s\n' type tv filter seconds pictures/s
for type in vcd vcd-high vcd-dual svcd svcd-high; do
    for tv in pal ntsc; do
        s=$(batch_seconds --type "$type" --tv "$tv" --filter spline --jobs 1)
        printf '%-12s %-5s %-8s %8s %12s\n' "$type" "$tv" spline "$s" "$(rate "$s")"
    done
done
for filter in nearest linear spline lanczos; do
    s=$(batch_seconds --type vcd-dual --tv pal --filter "$filter" --jobs 1)
    printf '%-12s %-5s %-8s %8s %12s\n' vcd-dual pal "$filter" "$s" "$(rate "$s")"
done
one=$(batch_seconds --type vcd-dual --tv pal --filter lanczos --jobs 1)
two=$(batch_seconds --type vcd-dual --tv pal --filter lanczos --jobs 2)
echo "vcd-dual pal lanczos: --jobs 1 $(rate "$one") pictures/s, --jobs 2 $(rate "$two") pictures/s," \
    "speed-up $(awk -v a="$one" -v b="$two" 'BEGIN { printf "%.2f", a / b }')"
