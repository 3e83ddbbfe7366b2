#!/usr/bin/env bash
# Installs what is needed, builds Dovrante and runs every test: the fast logic tests and the
# end-to-end tests of the real program on a virtual display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

preset="${DOVRANTE_PRESET:-dev}"
# Without a runtime folder of the session's, Qt makes /tmp/runtime-<user> and leaves it there: the
# run has one of its own, removed at its end.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/dovrante-runtime.XXXXXX)
    export XDG_RUNTIME_DIR
    own_runtime_dir=$XDG_RUNTIME_DIR
fi
source scripts/display.sh
cleanup() {
    stop_display
    if [ -n "${cups_dir:-}" ]; then scripts/stop-cups.sh "$cups_dir"; fi
    if [ -n "${own_runtime_dir:-}" ]; then rm -rf "$own_runtime_dir"; fi
}
trap cleanup EXIT
cmake --preset "$preset"
cmake --build --preset "$preset"

# A virtual display of its own, with a window manager, as a person's desktop has.
start_display

# The tests print on a CUPS scheduler of their own in a temporary folder. The machine's printing
# (its default destination, its queues, the files in /etc/cups) is compared before and after, and
# a run that changed it fails.
machine_printing() {
    env -u CUPS_SERVER LC_ALL=C lpstat -d 2>&1 || true
    env -u CUPS_SERVER LC_ALL=C lpstat -p 2>&1 || true
    find /etc/cups -xdev 2>&1 | sort
}
printing_before=$(machine_printing)
# Interrupted, the run still ends through cleanup, which stops the scheduler and removes its folder.
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP
cups_dir=$(mktemp -d /tmp/dovrante-cups.XXXXXX)
scripts/start-cups.sh "$cups_dir"
export CUPS_SERVER="$cups_dir/cups.sock" DOVRANTE_PDF_DIR="$cups_dir/pdf"
unset PRINTER LPDEST

status=0
# A test that fails is run once more before the run counts it: on a loaded machine the real display,
# window manager and scheduler now and then take longer than a test waits. A fault of the program
# fails both times, and the output of a first failure is still printed.
ctest --preset "$preset" --output-on-failure --repeat until-pass:2 || status=$?

scripts/stop-cups.sh "$cups_dir"
if [ "$(machine_printing)" != "$printing_before" ]; then
    echo "test.sh: the machine's printing is not as it was before the tests (or something else" \
         "changed it meanwhile):" >&2
    diff <(echo "$printing_before") <(machine_printing) >&2 || true
    status=1
fi
exit "$status"
