#!/bin/sh
# The desktop program under Xvfb: time from start to the first paint of the
# main window (five starts), and how responsive the window stays while a child
# floods the log. Usage: gui_bench.sh BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/program" "$home/run"
chmod 700 "$home/run"
cp "$build/lumora" "$home/program/lumora"
export XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run"
for i in 1 2 3 4 5; do
    xvfb-run -a -s "-screen 0 1280x800x24" "$home/program/lumora" --report-first-paint 2>/dev/null
done
xvfb-run -a -s "-screen 0 1280x800x24" "$build/benchmarks/gui_responsiveness" 2>/dev/null
