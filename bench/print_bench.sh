#!/usr/bin/env bash
# Prints figures: time from Enter to the job handed to CUPS, and the size of the spooled job, for
# a 3840 x 2160 screenshot-like and a 3840 x 2160 photo-like PNG, in colour and in black and
# white, beside `lp -o fit-to-page` of the same PNG. Jobs go to a stopped queue, so that they stay
# in the spool to be measured and nothing is rendered.
#   bench/print_bench.sh [build folder]       (default build/dev)
# CUPS is a scheduler of its own (scripts/start-cups.sh), so the machine's printers are left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"
program="$build/Dovrante"
probe="$build/bench/print_probe"
queue=Dovrante-Bench
runs="${RUNS:-3}"

work=$(mktemp -d /tmp/dovrante-bench-XXXXXX)
xvfb_pid=""
xclip_pid=""
cleanup() {
    scripts/stop-cups.sh "$work/cups"
    if [ -n "$xclip_pid" ]; then kill "$xclip_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

# A display of our own at 1920 x 1080, 96 DPI.
display=150
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1920x1080x24 -dpi 96 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
export DISPLAY=":$display"

# The scheduler's helpers run as lp and must reach its folder.
chmod 0755 "$work"
mkdir "$work/cups"
scripts/start-cups.sh "$work/cups" >/dev/null
export CUPS_SERVER="$work/cups/cups.sock"
# A queue that takes jobs but prints none of them.
lpadmin -p "$queue" -E -v "dovrante-pdf:$work/cups/pdf" -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null
cupsdisable "$queue"

# A screenshot: flat window chrome, text and a few photos' worth of detail; and a photograph.
convert -size 3840x2160 xc:'#f3f3f3' \
    -fill '#2b579a' -draw 'rectangle 0,0 3840,80' -fill '#ffffff' -draw 'rectangle 40,140 1900,2100' \
    -fill '#e0e0e0' -draw 'rectangle 1960,140 3800,1100' \
    -fill black -pointsize 22 -annotate +60,200 "$(for i in $(seq 70); do echo "Line $i: The quick brown fox jumps over the lazy dog 0123456789"; done)" \
    \( -size 960x540 plasma:fractal \) -geometry +1980+1180 -composite \
    -depth 8 "$work/screenshot.png"
convert -size 3840x2160 plasma:fractal -blur 0x1 -attenuate 0.2 +noise Gaussian -depth 8 "$work/photo.png"

read -r _ print_x print_y < <(QT_QPA_PLATFORM=offscreen "$probe" --buttons 1920 1080 2>/dev/null | grep cmdPrint)
read -r _ color_x color_y < <(QT_QPA_PLATFORM=offscreen "$probe" --buttons 1920 1080 2>/dev/null | grep cmdColor)

now() { date +%s.%N; }
minus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a - b }'; }
less() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
latest_job_size() {
    local id
    id=$(lpstat -o "$queue" | awk '{ print $1 }' | sed 's/.*-//' | sort -n | tail -1)
    stat -c %s "$(printf '%s/cups/spool/d%05d-001' "$work" "$id")" 2>/dev/null || echo 0
}

# One print of the program: the PNG on the clipboard at start, then (in black and white after one
# click on the toggle) Enter on the print button; the program ends once CUPS has the job.
program_run() {
    local png=$1 mode=$2 home="$work/home"
    mkdir -p "$home"
    if [ -n "$xclip_pid" ]; then kill "$xclip_pid" 2>/dev/null || true; fi
    # -quiet keeps xclip in the foreground, so that its id is the one to end.
    xclip -quiet -selection clipboard -t image/png -i "$png" >/dev/null 2>&1 &
    xclip_pid=$!
    sleep 0.3
    HOME="$home" LPDEST="$queue" "$program" &
    local pid=$!
    xdotool search --sync --onlyvisible --pid "$pid" >/dev/null
    sleep 0.5
    # The toggle leaves the focus on the print button: twice for colour, once for black and white.
    xdotool mousemove --sync "$color_x" "$color_y" click 1
    if [ "$mode" = colour ]; then xdotool click 1; fi
    sleep 0.3
    local start end
    start=$(now)
    xdotool key Return
    wait "$pid"
    end=$(now)
    echo "$start $end"
}

printf '%-11s %-7s %9s %14s %14s   %s\n' picture mode "png KB" "Dovrante s" "job KB" "lp fit-to-page: s, job KB"
for picture in screenshot photo; do
    png="$work/$picture.png"
    png_kb=$(( $(stat -c %s "$png") / 1024 ))
    for mode in colour bw; do
        best=""
        for _ in $(seq "$runs"); do
            read -r start end < <(program_run "$png" "$mode")
            seconds=$(minus "$end" "$start")
            if [ -z "$best" ] || less "$seconds" "$best"; then best=$seconds; fi
        done
        job_kb=$(( $(latest_job_size) / 1024 ))
        lp_options=(-o fit-to-page)
        if [ "$mode" = bw ]; then lp_options+=(-o print-color-mode=monochrome); fi
        start=$(now)
        lp -d "$queue" "${lp_options[@]}" "$png" >/dev/null
        end=$(now)
        lp_seconds=$(minus "$end" "$start")
        lp_kb=$(( $(latest_job_size) / 1024 ))
        printf '%-11s %-7s %9d %14.3f %14d   %.3f s, %d KB\n' "$picture" "$mode" "$png_kb" "$best" "$job_kb" "$lp_seconds" "$lp_kb"
    done
done
echo "(best of $runs runs from Enter to the program's end after CUPS took the job; $build)"
