#!/bin/sh
# Makes the placeholder motion videos that a disc of stills only needs (its
# one sequence): five seconds of black picture and silence each, for PAL and
# NTSC, VCD 2.0 and SVCD, into the folder given as first argument.
# A CD track must last at least four seconds; five leave a margin.
set -eu
out=${1:?usage: make-placeholders.sh FOLDER}
mkdir -p "$out"

make_placeholder() { # name target size rate
    ffmpeg -nostdin -hide_banner -loglevel error -y \
        -f lavfi -i "color=c=black:size=$3:rate=$4:duration=5" \
        -f lavfi -i "anullsrc=r=44100:cl=stereo" \
        -t 5 -target "$2" -shortest "$out/$1.tmp.mpg"
    mv "$out/$1.tmp.mpg" "$out/$1"
}
make_placeholder PhotoVCD2-PAL.mpg pal-vcd 352x288 25
make_placeholder PhotoVCD2-NTSC.mpg ntsc-vcd 352x240 30000/1001
make_placeholder PhotoSVCD-PAL.mpg pal-svcd 480x576 25
make_placeholder PhotoSVCD-NTSC.mpg ntsc-svcd 480x480 30000/1001
