#!/usr/bin/env bash
# Installs what is needed, builds Dovrante and runs every test: the fast logic tests and the
# end-to-end tests of the real program on a virtual display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

preset="${DOVRANTE_PRESET:-dev}"
cmake --preset "$preset"
cmake --build --preset "$preset"

# A virtual display at 1920 x 1080 and 96 DPI, on a free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1920x1080x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    kill "$xvfb_pid" 2>/dev/null || true
    if [ -n "${cups_stop:-}" ]; then "$cups_stop"; fi
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
export DISPLAY=":$display"

if [ -x scripts/start-cups.sh ]; then
    scripts/start-cups.sh
    cups_stop=scripts/stop-cups.sh
fi

ctest --preset "$preset" --output-on-failure
