# Sourced by the start-up benches: what they need installed, a work folder removed at the end
# (with Qt's runtime folder in it where the session has none), and the pictures they time.

bench_setup() {
    scripts/install-deps.sh --tests >/dev/null
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        export XDG_RUNTIME_DIR="$work/runtime"
        mkdir -m 700 "$XDG_RUNTIME_DIR"
    fi
}

# A 3840 x 2160 screenshot of a document and a photo-like picture of the same size, in $work.
bench_pictures() {
    convert -size 3840x2160 xc:'#f0f0f0' \
        -fill '#2b579a' -draw 'rectangle 0,0 3840,120' -fill white -draw 'rectangle 200,300 3600,2000' \
        -fill black -pointsize 28 -draw "text 260,400 'Quarterly report: figures and notes'" \
        -fill '#c00000' -draw 'rectangle 300,600 1200,1500' "$work/screenshot.png"
    convert -size 3840x2160 plasma:fractal -depth 8 "$work/photo.png" 2>/dev/null
}
