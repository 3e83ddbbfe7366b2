#!/usr/bin/env bash
# Prints whether taking the clipboard ahead of Qt still pays: the time from the start to the
# window shown and until the program has settled (medians), with the clip fetched on its own
# connection while Qt is set up (the program as it is) and with the same fetch made only once Qt
# is up (the bench's second build), for pictures and texts on the clipboard of a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${RUNS:-9}"

source bench/common.sh
bench_setup
cmake --preset release >/dev/null
cmake --build --preset release --target Dovrante dovrante_clipboard_after_qt startup_timer >/dev/null
build=build/release

source scripts/display.sh
# No window manager: its own work would blur the few milliseconds compared here.
start_display --no-window-manager
display="${DISPLAY#:}"
owners() { pkill -f "xclip -selection clipboard -display :$display" 2>/dev/null || true; sleep 0.2; }
trap 'owners; stop_display; rm -rf "$work"' EXIT

# Each keeps its data file beside itself: a folder of its own each.
mkdir "$work/ahead" "$work/after"
cp "$build/Dovrante" "$work/ahead/Dovrante"
cp "$build/bench/clipboard-after-qt/Dovrante" "$work/after/Dovrante"
clip() { owners; if [ $# -gt 0 ]; then xclip -selection clipboard -display ":$display" "$@"; fi; }
median() { sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]}'; }
timed() { "$build/bench/startup_timer" 1 "$1" 2>/dev/null | tail -1; }

bench_pictures
convert -size 800x600 plasma:fractal -depth 8 "$work/small.png" 2>/dev/null
head -c 100000 /dev/urandom | base64 -w 100 > "$work/text100k.txt"
head -c 7400000 /dev/urandom | base64 -w 100 > "$work/text10m.txt"

printf '%-30s %12s %12s %12s %12s %10s\n' "clip on the clipboard" "ahead shown" "after shown" \
    "ahead settled" "after settled" "saved ms"
row() { # name, then the xclip arguments (none: nobody owns the clipboard)
    local name=$1
    shift
    clip "$@"
    # In turns, so that a drift in the machine's load falls on both alike.
    local turns
    turns=$(for _ in $(seq "$runs"); do
        echo "ahead $(timed "$work/ahead/Dovrante")"
        echo "after $(timed "$work/after/Dovrante")"
        rm -f "$work"/*/"Dovrante Data.txt"
    done)
    of() { echo "$turns" | awk -v who="$1" -v n="$2" '$1 == who {print $n}' | median; }
    local ahead after
    ahead=$(of ahead 2)
    after=$(of after 2)
    printf '%-30s %12s %12s %12s %12s %10s\n' "$name" "$ahead" "$after" "$(of ahead 3)" \
        "$(of after 3)" "$(awk -v a="$ahead" -v b="$after" 'BEGIN { printf "%.1f", b - a }')"
}
owners
row "none"
row "800 x 600 photo PNG" -t image/png -i "$work/small.png"
row "3840 x 2160 screenshot PNG" -t image/png -i "$work/screenshot.png"
row "3840 x 2160 photo PNG" -t image/png -i "$work/photo.png"
row "100 KB of text" -i "$work/text100k.txt"
row "10 MB of text" -i "$work/text10m.txt"
