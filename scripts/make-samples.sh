#!/bin/sh
# Makes two PAL Video CD sample films with ffmpeg (a test pattern and a tone)
# in the folder given as first argument. Existing samples are kept.
set -eu
out=${1:?usage: make-samples.sh FOLDER}
mkdir -p "$out"
for n in 1 2; do
    target="$out/sample_$n.mpg"
    [ -s "$target" ] && continue
    pattern=testsrc
    [ "$n" = 2 ] && pattern=smptebars
    ffmpeg -nostdin -hide_banner -loglevel error -y \
        -f lavfi -i "$pattern=duration=20:size=352x288:rate=25" \
        -f lavfi -i "sine=frequency=$((330 * n)):duration=20" \
        -target pal-vcd -shortest "$target.tmp.mpg"
    mv "$target.tmp.mpg" "$target"
done
echo "samples ready in $out"
