#!/usr/bin/env bash
# Starts a CUPS scheduler for the end-to-end tests (or uses the one already running) with two
# cups-pdf queues: Dovrante-PDF, the default destination, which writes every job as a PDF into
# the folder below; and Dovrante-Refusing, which refuses jobs. Works as root without systemd.
set -euo pipefail

# The tests read the PDFs from here (DOVRANTE_PDF_DIR may name another folder).
out="${DOVRANTE_PDF_DIR:-/var/spool/cups-pdf/Dovrante}"
# Where stop-cups.sh finds the scheduler that this script started, and how many test runs use it:
# the last one to stop ends it, so that runs in other worktrees are not cut short.
pid_file=/run/dovrante-cupsd.pid
users_file=/run/dovrante-cupsd.users

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

running() { lpstat -r 2>/dev/null | grep -q "is running"; }

exec 9>/tmp/dovrante-cupsd.lock
flock 9
users=$(( $(cat "$users_file" 2>/dev/null || echo 0) + 1 ))
echo "$users" | $sudo tee "$users_file" >/dev/null

if ! running; then
    $sudo mkdir -p /run/cups /var/spool/cups/tmp /var/log/cups /var/cache/cups
    before=$(pgrep -x cupsd || true)
    # Without -f cupsd goes into the background by itself; it must not keep the lock open.
    $sudo /usr/sbin/cupsd 9>&-
    for _ in $(seq 100); do
        running && break
        sleep 0.1
    done
    running || { echo "start-cups: cupsd did not start" >&2; exit 1; }
    for pid in $(pgrep -x cupsd); do
        if ! grep -qx "$pid" <<<"$before"; then echo "$pid" | $sudo tee "$pid_file" >/dev/null; fi
    done
fi

# cups-pdf reads cups-pdf-<name>.conf for a queue whose device URI is cups-pdf:/<name>. Label 2
# names every file after the job's title and id, so that no job overwrites another. (cups-pdf
# takes comment lines in its file for part of the name: none there.)
$sudo mkdir -p "$out"
$sudo chmod 0777 "$out"
$sudo tee /etc/cups/cups-pdf-dovrante.conf >/dev/null <<CONF
Out $out
AnonDirName $out
Label 2
CONF

model=$(lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ { print $1; exit }')
if [ -n "$model" ]; then
    driver=(-m "$model")
else
    driver=(-P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd)
fi
# lpadmin warns that PPD drivers are deprecated; cups-pdf has nothing else yet.
admin() { $sudo lpadmin "$@" 2> >(grep -v "drivers are deprecated" >&2); }
# The Cairo renderer keeps the job's fonts by name, so that the PDF's text can be read back.
admin -p Dovrante-PDF -E -v cups-pdf:/dovrante "${driver[@]}" -o pdftops-renderer-default=pdftocairo
admin -d Dovrante-PDF
admin -p Dovrante-Refusing -E -v cups-pdf:/dovrante "${driver[@]}"
$sudo cupsreject Dovrante-Refusing
echo "start-cups: Dovrante-PDF is the default destination; PDFs go to $out"
