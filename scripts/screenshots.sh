#!/usr/bin/env bash
# Makes the README's screenshots from the real program on a virtual display of its own (Xvfb,
# 1280 x 720 at 96 DPI): docs/picture-view.png with a picture on the clipboard and
# docs/text-view.png with text. The program runs as a copy in a temporary folder with a home of its
# own, so nothing is written beside the built program or in your home.
#   scripts/screenshots.sh [build folder]      (default build/dev; build it first)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/dev}"
[ -x "$build/Dovrante" ] || { echo "screenshots: no program in $build; build it first" >&2; exit 1; }

work=$(mktemp -d /tmp/dovrante-screenshots.XXXXXX)
xclip_pid=""
program_pid=""
source scripts/display.sh
cleanup() {
    for pid in $program_pid $xclip_pid; do kill "$pid" 2>/dev/null || true; done
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The README's screenshots are smaller than the test display; no window manager, so that nothing
# but the program is in them.
DISPLAY_SIZE=1280x720 start_display --no-window-manager

mkdir -p "$work/program" "$work/home"
cp "$build/Dovrante" "$work/program/Dovrante"
mkdir -p "$work/program/Dovrante BMP Data"

# Serves the clipboard from a file until the next clip; -quiet keeps xclip in the foreground, so
# that its id is the one to end.
clip() {
    if [ -n "$xclip_pid" ]; then kill "$xclip_pid" 2>/dev/null || true; fi
    xclip -quiet -selection clipboard -t "$1" -i "$2" >/dev/null 2>&1 &
    xclip_pid=$!
    for _ in $(seq 50); do
        xclip -o -selection clipboard -t TARGETS 2>/dev/null | grep -qx "$1" && return
        sleep 0.1
    done
    echo "screenshots: the clipboard does not offer $1" >&2
    exit 1
}

# Starts the program, waits for its window to be drawn, takes the screen, and ends it with Escape.
shoot() {
    HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" LC_ALL=C.UTF-8 \
        "$work/program/Dovrante" >/dev/null 2>&1 &
    program_pid=$!
    local window
    window=$(xdotool search --sync --onlyvisible --pid "$program_pid" | head -1)
    sleep 1
    import -window root -strip "$1"
    # Without a window manager the window gets the keyboard only when given it.
    xdotool windowfocus --sync "$window" key Escape
    for _ in $(seq 50); do
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program_pid" 2>/dev/null; then
        echo "screenshots: Escape did not end the program" >&2
        exit 1
    fi
    program_pid=""
    echo "screenshots: $1 ($(($(stat -c %s "$1") / 1024)) KB)"
}

# A picture larger than the screen, so that the scroll bars are in it: flat colours, like a
# screenshot of a document, which keeps the PNG small.
convert -size 1600x1000 xc:'#f4f4f4' \
    -fill '#2b579a' -draw 'rectangle 0,0 1600,70' \
    -fill white -font DejaVu-Sans -pointsize 30 -annotate +30+47 'Quarterly report - copied screenshot' \
    -fill white -draw 'rectangle 40,110 1000,960' \
    -fill '#333333' -pointsize 22 \
    -annotate +70+170 'Sales by region' \
    -fill '#4f81bd' -draw 'rectangle 100,700 200,880' -draw 'rectangle 260,520 360,880' \
    -fill '#c0504d' -draw 'rectangle 420,600 520,880' -draw 'rectangle 580,380 680,880' \
    -fill '#9bbb59' -draw 'rectangle 740,450 840,880' \
    -fill '#333333' -draw 'line 80,880 900,880' \
    -fill '#e6e6e6' -draw 'rectangle 1060,110 1560,960' \
    -fill '#333333' -annotate +1090+170 'Notes' \
    -pointsize 18 -annotate +1090+220 'North grew by a third.' -annotate +1090+255 'South held level.' \
    -depth 8 "$work/clip.png"
clip image/png "$work/clip.png"
shoot docs/picture-view.png

cat >"$work/clip.txt" <<'TEXT'
Meeting notes, copied from the mail

- Move the review to Thursday, 10:00.
- Anna sends the figures for the north by Wednesday.
- Print this page for the folder.

Dovrante shows copied text like this in its text view and adds it, with the date and time,
to "Dovrante Data.txt" beside the program.
TEXT
clip text/plain "$work/clip.txt"
shoot docs/text-view.png
