#!/usr/bin/env bash
# Installs what is needed, builds Dovrante and runs every test: the fast logic tests and the
# end-to-end tests of the real program on a virtual display of its own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests

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

# The tests print on a CUPS scheduler of their own in a temporary folder. What a run could change
# of the machine's own printing (its default destination, the names of its queues, the files under
# /etc/cups) is compared before and after, and a run that changed it fails. A queue's state, its
# time stamps and other people's jobs are not the run's doing and are left out, and so are the
# backups the scheduler makes of its own files (*.O) whenever it saves a queue's state.
machine_printing() {
    env -u CUPS_SERVER LC_ALL=C lpstat -d 2>&1 || true
    env -u CUPS_SERVER LC_ALL=C lpstat -e 2>&1 | sort || true
    find /etc/cups -xdev ! -name '*.O' 2>&1 | sort
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

tests_status=0
# A test that fails is run once more before the run counts it: a fault of the program fails both
# times, and the output of the first failure is still printed. A test that passes only on its second
# try is named at the end: a fault of the test to find, not noise to hide.
failed_list="build/$preset/Testing/Temporary/LastTestsFailed.log"
failed_names() { if [ -s "$failed_list" ]; then cut -d: -f2- "$failed_list" | sort; fi; }
rm -f "$failed_list"
ctest --preset "$preset" --output-on-failure || tests_status=$?
failed=$(failed_names)
second_tries=""
if [ "$tests_status" -ne 0 ] && [ -n "$failed" ]; then
    echo "test.sh: the failed tests once more"
    tests_status=0
    ctest --preset "$preset" --output-on-failure --rerun-failed || tests_status=$?
    first_failed=$failed
    failed=""
    if [ "$tests_status" -ne 0 ]; then failed=$(failed_names); fi
    second_tries=$(comm -23 <(echo "$first_failed") <(echo "$failed"))
fi
total=$(ctest --preset "$preset" -N | sed -n 's/^Total Tests: //p')
count() { if [ -n "$1" ]; then echo "$1" | wc -l; else echo 0; fi; }

status=$tests_status
scripts/stop-cups.sh "$cups_dir"
if [ "$(machine_printing)" != "$printing_before" ]; then
    echo "test.sh: the machine's printing is not as it was before the tests (or something else" \
         "changed it meanwhile):" >&2
    diff <(echo "$printing_before") <(machine_printing) >&2 || true
    status=1
fi
echo "test.sh: $(count "$second_tries") test(s) passed only on their second try"
if [ -n "$second_tries" ]; then echo "$second_tries" | sed 's/^/    /'; fi
if [ "$tests_status" -ne 0 ] && [ -z "$failed" ]; then
    echo "test.sh: ctest could not run the tests"
else
    echo "Tests: $((total - $(count "$failed"))) passed, $(count "$failed") failed"
fi
exit "$status"
