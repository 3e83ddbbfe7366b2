#!/usr/bin/env bash
# Stops the CUPS scheduler that scripts/start-cups.sh started in the given folder and removes the
# folder with its queues, jobs, logs and PDFs. Safe to run on a folder where the start failed
# half-way, or twice.
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 <folder given to start-cups.sh>" >&2
    exit 2
fi
dir="$(realpath -m -- "$1")"
[ -d "$dir" ] || exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

if [ -f "$dir/cupsd.pid" ]; then
    pid=$(cat "$dir/cupsd.pid")
    # Only the process started there: the id may have been given to another program meanwhile.
    if [ -n "$pid" ] && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -qF -- "-c $dir/etc/"
    then
        $sudo kill "$pid" 2>/dev/null || true
        for _ in $(seq 100); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && $sudo kill -KILL "$pid" 2>/dev/null || true
    fi
fi
# Backends and filters of a job still running end with their scheduler; whatever they wrote in
# the folder goes with it.
$sudo rm -rf -- "$dir"
