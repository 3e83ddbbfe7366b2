#!/usr/bin/env bash
# Installs what is needed, builds Dovrante and runs every test: the fast logic tests and the
# end-to-end tests of the real program on a virtual display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

preset="${DOVRANTE_PRESET:-dev}"
cmake --preset "$preset"
cmake --build --preset "$preset"

# A virtual display of its own, with a window manager, as a person's desktop has.
source scripts/display.sh
start_display
cleanup() {
    stop_display
    if [ -n "${cups_stop:-}" ]; then "$cups_stop"; fi
}
trap cleanup EXIT

if [ -x scripts/start-cups.sh ]; then
    scripts/start-cups.sh
    cups_stop=scripts/stop-cups.sh
fi

ctest --preset "$preset" --output-on-failure
