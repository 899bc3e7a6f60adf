#!/bin/sh
# Pictures of the main window and the settings dialog under Xvfb, taken by
# lumora itself (--screenshot), with a throw-away configuration.
# Usage: screenshots.sh BUILD_DIR OUT_DIR
set -eu
build=$(cd "$1" && pwd)
out=$2
mkdir -p "$out"
out=$(cd "$out" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/program" "$home/run"
chmod 700 "$home/run"
# A program folder of its own keeps the build tree's INI file out of the pictures.
cp "$build/lumora" "$home/program/lumora"
cp "$(dirname "$0")"/../data/*.lng "$home/program/" 2>/dev/null || true
XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" LANG=C \
    xvfb-run -a -s "-screen 0 1280x800x24" "$home/program/lumora" --screenshot "$out/main-window.png" --page 7
for topic in PageSettingsAuthoring PageSettingsCdImage PageSettingsWarnings PageSettingsLog; do
    XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" LANG=C \
        xvfb-run -a -s "-screen 0 1280x800x24" "$home/program/lumora" --screenshot "$out/$topic.png" \
        --settings-topic "$topic"
done
ls "$out"
