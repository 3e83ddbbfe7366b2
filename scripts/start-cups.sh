#!/usr/bin/env bash
# Starts a CUPS scheduler of the tests' own in the given empty folder, apart from the machine's:
# its own configuration, spool, logs and socket (no TCP port), so the machine's printers, its
# default destination and /etc/cups stay as they are. It gets two queues with the cups-pdf driver:
# Dovrante-PDF, its default destination, which writes every job as a PDF into <folder>/pdf; and
# Dovrante-Refusing, which refuses jobs. Clients find it through the environment:
#
#   CUPS_SERVER=<folder>/cups.sock   DOVRANTE_PDF_DIR=<folder>/pdf
#
# scripts/stop-cups.sh <folder> stops it and removes the folder. cupsd runs as root (through sudo
# otherwise).
set -euo pipefail

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
    echo "usage: $0 <empty folder>" >&2
    exit 2
fi
dir="$(realpath -- "$1")"

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
# sudo resets the environment: the CUPS tools get the socket on their command line.
cups() { $sudo env CUPS_SERVER="$dir/cups.sock" "$@"; }

# The backends and filters run as lp and must reach the job files below.
$sudo chmod 0755 "$dir"
$sudo mkdir -p "$dir"/{etc/ppd,etc/ssl,spool/tmp,cache,state,log,pdf,bin/backend}
$sudo chmod 0777 "$dir/pdf"
if ! $sudo runuser -u lp -- test -x "$dir/bin"; then
    echo "start-cups: the user lp cannot reach $dir; its parent folders must be open to others" >&2
    exit 1
fi

# The system's filters and helpers, with a backend of the tests' own. The cups-pdf backend reads
# its settings (the output folder among them) from /etc/cups alone and writes under /var/spool
# and /var/log; this one does what it does with the same Ghostscript call, into <folder>/pdf.
for part in cgi-bin daemon driver filter monitor notifier; do
    if [ -e "/usr/lib/cups/$part" ]; then $sudo ln -s "/usr/lib/cups/$part" "$dir/bin/$part"; fi
done
$sudo tee "$dir/bin/backend/dovrante-pdf" >/dev/null <<'BACKEND'
#!/bin/sh
# CUPS backend: dovrante-pdf:<folder> writes each job's PostScript as <title>-job_<id>.pdf there.
# Arguments: job id, user, title, copies, options and, if given, the file (else standard input).
set -eu
umask 022
if [ $# -eq 0 ]; then
    echo 'file dovrante-pdf "Unknown" "PDF files in a folder"'
    exit 0
fi
out="${DEVICE_URI#dovrante-pdf:}"
name=$(printf '%s' "$3" | tr -c 'A-Za-z0-9._-' '_' | cut -c1-64)
input="${6:--}"
# Written beside and renamed, so that a reader never sees half a PDF.
gs -q -dCompatibilityLevel=1.4 -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite \
    -sOutputFile="$out/.$1.part" -dAutoRotatePages=/PageByPage -dAutoFilterColorImages=false \
    -dColorImageFilter=/FlateEncode -dPDFSETTINGS=/prepress -f "$input" >&2
mv "$out/.$1.part" "$out/$name-job_$1.pdf"
BACKEND
$sudo chmod 0755 "$dir/bin/backend/dovrante-pdf"

$sudo tee "$dir/etc/cupsd.conf" >/dev/null <<CONF
# Only a socket of its own: no TCP port, no sharing, no browsing.
Listen $dir/cups.sock
Browsing No
BrowseLocalProtocols none
WebInterface No
LogLevel warn
ErrorPolicy abort-job
DefaultAuthType Basic
<Location />
  Order allow,deny
  Allow localhost
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF

# Every file the scheduler writes lies in the folder.
$sudo tee "$dir/etc/cups-files.conf" >/dev/null <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/state/printcap
SystemGroup root
ServerBin $dir/bin
CONF

# In the foreground (-f) so that its process id is known; stop-cups.sh ends it by that id.
$sudo setsid /usr/sbin/cupsd -f -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" \
    </dev/null >>"$dir/log/cupsd.out" 2>&1 &
echo $! >"$dir/cupsd.pid"

running() { cups lpstat -r 2>/dev/null | grep -q "is running"; }
for _ in $(seq 100); do
    running && break
    sleep 0.1
done
running || { echo "start-cups: cupsd did not start; see $dir/log" >&2; exit 1; }

model=$(cups lpinfo -m 2>/dev/null | awk '/CUPS-PDF_opt\.ppd/ { print $1; exit }' || true)
if [ -n "$model" ]; then
    driver=(-m "$model")
else
    driver=(-P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd)
fi
# lpadmin warns that PPD drivers are deprecated; cups-pdf has nothing else yet.
admin() { cups lpadmin "$@" 2> >(grep -v "drivers are deprecated" >&2); }
# The Cairo renderer keeps the job's fonts by name, so that the PDF's text can be read back.
admin -p Dovrante-PDF -E -v dovrante-pdf:$dir/pdf "${driver[@]}" -o pdftops-renderer-default=pdftocairo
admin -d Dovrante-PDF
admin -p Dovrante-Refusing -E -v dovrante-pdf:$dir/pdf "${driver[@]}"
cups cupsreject Dovrante-Refusing
echo "start-cups: a scheduler of its own at $dir/cups.sock; Dovrante-PDF writes into $dir/pdf"
