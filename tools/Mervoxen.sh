#!/bin/sh
# The link program: opens its one argument, a file or a folder, with the desktop's default
# application. A missing file (a name with an extension; a folder has none) is made empty first,
# since the desktop's opener refuses a missing file; what cannot be opened says so in a message
# box.
fail() {
    xmessage -title Mervoxen -center "Cannot open $1: $2" 2>/dev/null || echo "Mervoxen: $2" >&2
    exit 1
}
name=${1##*/}
if [ ! -e "$1" ] && [ "${name#?*.}" != "$name" ]; then
    : >>"$1" || fail "$1" "it cannot be made"
fi
xdg-open "$1" || fail "$1" "the desktop has no application for it (xdg-open ended with status $?)"
