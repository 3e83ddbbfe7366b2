#!/usr/bin/env bash
# Stops the CUPS scheduler that start-cups.sh started; one that was already running is left alone.
set -euo pipefail
pid_file=/run/dovrante-cupsd.pid
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

[ -f "$pid_file" ] || exit 0
pid=$(cat "$pid_file")
if [ "$(ps -o comm= -p "$pid" 2>/dev/null)" = "cupsd" ]; then
    $sudo kill "$pid"
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
fi
$sudo rm -f "$pid_file"
