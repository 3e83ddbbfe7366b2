#!/bin/sh
# Stand-in for the text editor: opens its one file in $VISUAL, else $EDITOR, else the desktop's
# text editor. A missing file is made empty first: the desktop's opener refuses a missing file, and
# an empty one is what the person is about to write in. An editor that runs in a terminal gets the
# desktop's terminal when it is not started from one (as from Dovrante, with no input). What
# cannot start says so in a message box.
fail() {
    xmessage -title Notepad3 -center "Cannot open $1: $2" 2>/dev/null || echo "Notepad3: $2" >&2
    exit 1
}
file=$1
[ -e "$file" ] || : >>"$file" || fail "$file" "it cannot be made"
editor=${VISUAL:-${EDITOR:-}}
if [ -z "$editor" ]; then
    xdg-open "$file" || fail "$file" "the desktop has no text editor for it (xdg-open ended with status $?)"
    exit 0
fi
# shellcheck disable=SC2086 # the variable may hold the editor's own options
set -- $editor
command -v "$1" >/dev/null 2>&1 || fail "$file" "the editor $1 (from \$VISUAL or \$EDITOR) was not found"
case "${1##*/}" in
vi | vim | nvim | view | nano | pico | micro | joe | jed | ne | mcedit | ed | vis | kak | hx | mg | emacs-nox)
    if [ ! -t 0 ]; then
        command -v x-terminal-emulator >/dev/null 2>&1 ||
            fail "$file" "the editor $1 runs in a terminal, and there is no x-terminal-emulator"
        exec x-terminal-emulator -e "$@" "$file"
    fi
    ;;
esac
exec "$@" "$file"
