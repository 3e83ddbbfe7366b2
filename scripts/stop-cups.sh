#!/usr/bin/env bash
# Stops the CUPS scheduler that start-cups.sh started once the last test run using it is done; a
# scheduler that was already running is left alone.
set -euo pipefail
pid_file=/run/dovrante-cupsd.pid
users_file=/run/dovrante-cupsd.users
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

exec 9>/tmp/dovrante-cupsd.lock
flock 9
users=$(( $(cat "$users_file" 2>/dev/null || echo 1) - 1 ))
if [ "$users" -gt 0 ]; then
    echo "$users" | $sudo tee "$users_file" >/dev/null
    exit 0
fi
$sudo rm -f "$users_file"

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
