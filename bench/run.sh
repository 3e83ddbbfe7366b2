#!/usr/bin/env bash
# Prints Dovrante's start-up and capture figures on a virtual 1920 x 1080 display:
#   - start-up to the first shown window and peak memory, with an empty clipboard;
#   - start-up with a 3840 x 2160 screenshot on the clipboard, against the floor of fetching the
#     same PNG from the clipboard and decoding it;
#   - start-up with 10 MB of text on the clipboard;
#   - peak memory with a 7680 x 4320 picture, against the decoded picture's size;
#   - one text data entry appended to an empty and to a 1 GB file.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${RUNS:-7}"

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
build=build/release

work=$(mktemp -d)
source scripts/display.sh
start_display
display="${DISPLAY#:}"
trap 'pkill -f "xclip -selection clipboard -display :$display" 2>/dev/null; sleep 0.2; stop_display; rm -rf "$work"' EXIT

# The program keeps its data file beside itself: run a copy in a folder of its own.
cp "$build/Dovrante" "$work/Dovrante"
clip() { pkill -f "xclip -selection clipboard -display :$display" 2>/dev/null || true; sleep 0.2
         xclip -selection clipboard -display ":$display" "$@"; }

median_ms() { sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]}'; }

echo "== empty clipboard"
clip -i /dev/null
"$build/bench/startup_timer" "$runs" "$work/Dovrante"

echo "== 3840 x 2160 screenshot on the clipboard"
convert -size 3840x2160 xc:'#f0f0f0' \
    -fill '#2b579a' -draw 'rectangle 0,0 3840,120' -fill white -draw 'rectangle 200,300 3600,2000' \
    -fill black -pointsize 28 -draw "text 260,400 'Quarterly report: figures and notes'" \
    -fill '#c00000' -draw 'rectangle 300,600 1200,1500' "$work/screenshot.png"
echo "PNG of $(stat -c %s "$work/screenshot.png") bytes"
clip -t image/png -i "$work/screenshot.png"
"$build/bench/startup_timer" "$runs" "$work/Dovrante"
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    xclip -selection clipboard -o -t image/png | "$build/bench/decode_floor" >/dev/null
    echo $(( ($(date +%s%N) - start) / 1000 ))
done | awk '{printf "%.1f\n", $1 / 1000}' | median_ms | xargs printf "floor (xclip -o and decode): %s ms\n"

echo "== 10 MB of text on the clipboard"
head -c 7400000 /dev/urandom | base64 -w 100 > "$work/text.txt"
clip -i "$work/text.txt"
"$build/bench/startup_timer" "$runs" "$work/Dovrante"
rm -f "$work/Dovrante Data.txt"

echo "== 7680 x 4320 picture on the clipboard"
convert -size 7680x4320 plasma:fractal -depth 8 "$work/large.png" 2>/dev/null ||
    convert -size 7680x4320 gradient:red-blue "$work/large.png"
echo "photo-like PNG of $(stat -c %s "$work/large.png") bytes"
clip -t image/png -i "$work/large.png"
echo "decoded picture: $(( 7680 * 4320 * 4 / 1048576 )) MiB; goal: at most 1.3 times that plus 40 MiB"
"$build/bench/startup_timer" 3 "$work/Dovrante"
convert "$work/screenshot.png" -resize 200% "$work/large-screenshot.png"
echo "screenshot-like PNG of $(stat -c %s "$work/large-screenshot.png") bytes"
clip -t image/png -i "$work/large-screenshot.png"
"$build/bench/startup_timer" 3 "$work/Dovrante"

echo "== text data file"
"$build/bench/append_bench" "$work"
