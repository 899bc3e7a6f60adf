#!/bin/sh
# Generates the media fixtures of the integration tests into the folder given
# as first argument. Files that already exist are kept, so a second run is quick.
set -eu
out=${1:?usage: make-fixtures.sh FOLDER}
mkdir -p "$out"
cd "$out"

ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }

# Two short motion videos per TV system and disc kind, with a test pattern and a tone.
make_motion() { # name target seconds pattern
    [ -s "$1" ] && return 0
    ff -f lavfi -i "$4=duration=$3:size=352x288:rate=25" \
       -f lavfi -i "sine=frequency=440:duration=$3" \
       -target "$2" -shortest "$1.tmp.mpg"
    mv "$1.tmp.mpg" "$1"
}
make_motion pal_vcd_1.mpg pal-vcd 4 testsrc
make_motion pal_vcd_2.mpg pal-vcd 3 smptebars
make_motion ntsc_vcd_1.mpg ntsc-vcd 3 testsrc
make_motion pal_svcd_1.mpg pal-svcd 3 testsrc
make_motion ntsc_svcd_1.mpg ntsc-svcd 3 smptebars
# Long enough (over four seconds) to be accepted on a disc.
make_motion pal_vcd_5s.mpg pal-vcd 5 testsrc
# Long enough for a disc (at least four seconds) and for chapters.
make_motion pal_vcd_8s_1.mpg pal-vcd 8 testsrc
make_motion pal_vcd_8s_2.mpg pal-vcd 8 smptebars
make_motion ntsc_vcd_8s.mpg ntsc-vcd 8 testsrc
make_motion pal_svcd_8s.mpg pal-svcd 8 smptebars

# Streams the analysis must explain instead of accept: a bare video stream
# without a program stream around it, and a program stream in a RIFF file.
if [ ! -s elementary_video.mpg ]; then
    ff -f lavfi -i "testsrc=duration=1:size=352x288:rate=25" -c:v mpeg1video -b:v 1150k \
       -f mpeg1video elementary_video.mpg.tmp
    mv elementary_video.mpg.tmp elementary_video.mpg
fi
if [ ! -s riff_wrapped.mpg ]; then
    ff -i pal_vcd_2.mpg -c copy -f avi riff_wrapped.mpg.tmp
    mv riff_wrapped.mpg.tmp riff_wrapped.mpg
fi

# A VCD still: a 4:2:0 JPEG (jpeg2yuv takes no other) made into an MPEG-1
# still picture and multiplexed for a VCD segment.
if [ ! -s still_pal_vcd.mpg ] && command -v jpeg2yuv >/dev/null && command -v mpeg2enc >/dev/null \
    && command -v mplex >/dev/null; then
    ff -f lavfi -i "testsrc=size=352x288:duration=1" -frames:v 1 -pix_fmt yuvj420p still.tmp.jpg
    jpeg2yuv -f 25 -I p -n 1 -j still.tmp.jpg 2>/dev/null | mpeg2enc -v 0 -f 6 -o still.tmp.m1v
    mplex -v 0 -f 6 -o still.tmp.mpg still.tmp.m1v
    rm -f still.tmp.jpg still.tmp.m1v
    mv still.tmp.mpg still_pal_vcd.mpg
fi
echo "fixtures ready in $out"
