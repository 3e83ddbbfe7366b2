#!/usr/bin/env bash
# Prints Dovrante's start-up figures on a virtual 1920 x 1080 display, beside what other programs
# take for the same thing, all measured in this one run (medians):
#   Dovrante  time from its start to its window mapped, to the end of its work (a long text is
#             laid out after the window is shown), and its peak memory then;
#   feh       the same picture opened from a file;
#   bare Qt   a plain full-screen Qt window (and, for reference, the same with a row of captioned
#             buttons in the tool bar's fonts, which is what any window pays for its first text);
#   floor     xclip -o fetching the clip from the clipboard plus Qt decoding it.
# Then the cost of one text data entry on an empty and a 1 GB file.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${RUNS:-9}"

source bench/common.sh
bench_setup
# feh is only for the comparison, so it is installed here rather than with the build's packages.
if ! command -v feh >/dev/null; then
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends feh >/dev/null
fi
cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
build=build/release

source scripts/display.sh
# No window manager: its own work would blur the few milliseconds compared here.
start_display --no-window-manager
display="${DISPLAY#:}"
trap 'pkill -f "xclip -selection clipboard -display :$display" 2>/dev/null; sleep 0.2; stop_display; rm -rf "$work"' EXIT

# The program keeps its data file beside itself: run a copy in a folder of its own.
cp "$build/Dovrante" "$work/Dovrante"
clip() { pkill -f "xclip -selection clipboard -display :$display" 2>/dev/null || true; sleep 0.2
         xclip -selection clipboard -display ":$display" "$@"; }
median() { sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]}'; }
# The figures line of startup_timer: shown ms, settled ms, peak MiB.
timed() { "$build/bench/startup_timer" "$@" 2>/dev/null | tail -1; }
floor_ms() {
    for _ in $(seq "$1"); do
        start=$(date +%s%N)
        xclip -selection clipboard -o -t "$2" | "$build/bench/decode_floor" >/dev/null
        echo $(( ($(date +%s%N) - start) / 1000 ))
    done | awk '{printf "%.1f\n", $1 / 1000}' | median
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'; }
max() { awk -v a="$1" -v b="$2" 'BEGIN { print (a > b ? a : b) }'; }

printf '%-34s %9s %9s %8s %8s %8s %8s %9s %8s\n' "clip on the clipboard" "shown ms" \
    "settled" "MiB" "feh ms" "bare ms" "floor ms" "vs floor" "vs feh"
row() { # name dovrante-figures feh bare floor
    read -r shown settled mib <<<"$2"
    local reference; reference=$(max "${4:-0}" "${5:-0}")
    printf '%-34s %9s %9s %8s %8s %8s %8s %9s %8s\n' "$1" "$shown" "$settled" "$mib" "${3:--}" \
        "${4:--}" "${5:--}" "$(ratio "$shown" "$reference")" "$(ratio "$shown" "${3:-0}")"
}

# Nothing on the clipboard: no program owns it. The three are started in turn, so that a few
# milliseconds' drift in the machine's load falls on all of them alike.
pkill -f "xclip -selection clipboard -display :$display" 2>/dev/null || true
sleep 0.2
turns=$(for _ in $(seq "$runs"); do
    echo "bare $(timed 1 "$build/bench/bare_window")"
    echo "captioned $(timed 1 "$build/bench/bare_window" --captions)"
    echo "dovrante $(timed 1 "$work/Dovrante")"
done)
# The median of one figure (the n-th field) over the starts of one program.
median_of() { echo "$turns" | awk -v who="$1" -v n="$2" '$1 == who {print $n}' | median; }
bare=$(median_of bare 2)
captioned=$(median_of captioned 2)
none="$(median_of dovrante 2) $(median_of dovrante 3) $(median_of dovrante 4)"
row "none" "$none" "" "$bare" ""
echo "  for reference, a bare Qt window with a row of captioned buttons in the tool bar's fonts:" \
     "$captioned ms; the empty start is $(ratio "${none%% *}" "$captioned") x that"

bench_pictures
convert "$work/screenshot.png" -resize 200% "$work/screenshot8k.png"
for picture in "3840 x 2160 screenshot:screenshot" "3840 x 2160 photo:photo" \
               "7680 x 4320 screenshot:screenshot8k"; do
    name="${picture%%:*}"; file="$work/${picture##*:}.png"
    clip -t image/png -i "$file"
    n=$runs; [ "$(stat -c %s "$file")" -gt 4000000 ] && n=5
    # In turns too: measured one block after the other, a drift in the machine's load over the
    # seconds a block takes falls on one of the three alone.
    turns=$(for _ in $(seq "$n"); do
        echo "dovrante $(timed 1 "$work/Dovrante")"
        echo "feh $(timed 1 /usr/bin/feh "$file")"
        echo "floor $(floor_ms 1 image/png)"
    done)
    row "$name ($(( $(stat -c %s "$file") / 1024 )) KiB PNG)" \
        "$(median_of dovrante 2) $(median_of dovrante 3) $(median_of dovrante 4)" \
        "$(median_of feh 2)" "" "$(median_of floor 2)"
done

head -c 7400000 /dev/urandom | base64 -w 100 > "$work/text10.txt"
head -c 74000000 /dev/urandom | base64 -w 100 > "$work/text100.txt"
clip -i "$work/text10.txt"
ten=$(timed 5 "$work/Dovrante")
row "10 MB of text" "$ten" "" "" ""
rm -f "$work/Dovrante Data.txt"
clip -i "$work/text100.txt"
hundred=$(timed 3 "$work/Dovrante")
row "100 MB of text" "$hundred" "" "" ""
rm -f "$work/Dovrante Data.txt"
echo "100 MB against 10 MB of text: $(ratio "$(echo "$hundred" | awk '{print $2}')" \
    "$(echo "$ten" | awk '{print $2}')") x the time until settled (goal: about 12 x at most)," \
    "$(ratio "$(echo "$hundred" | awk '{print $3}')" \
    "$(( $(stat -c %s "$work/text100.txt") / 1048576 ))") x the text's size in memory (goal: 6 x)"

echo "== text data file"
"$build/bench/append_bench" "$work"
