#!/usr/bin/env bash
# Fails when a source includes a folder above its own layer. From the ground up:
#   platform/                                    the interfaces the logic uses; no Qt
#   app/ capture/ appearance/ files/ printing/   the logic; no Qt
#   qt/                                          conversions between the program's types and Qt's
#   services/                                    the real services behind platform/ (Qt, X11, CUPS)
#   view/                                        the widgets that mirror the model
#   main.cpp                                     puts them together
# A folder may include its own layer and those below it, never one above, and services/ and
# view/ do not include each other. Run by ctest (label unit) and usable by hand.
set -euo pipefail
cd "$(dirname "$0")/../src"

allowed() {
    case "$1" in
    platform) echo "platform" ;;
    app | capture | appearance | files | printing) echo "platform app capture appearance files printing" ;;
    qt) echo "platform qt" ;;
    services) echo "platform qt services" ;;
    view) echo "platform app capture appearance files printing qt view" ;;
    *) echo "" ;;
    esac
}

faults=0
while IFS= read -r -d '' file; do
    folder=${file%%/*}
    ok=" $(allowed "$folder") "
    while IFS= read -r included; do
        if [[ "$ok" != *" ${included%%/*} "* ]]; then
            echo "$file includes $included, which lies above $folder/"
            faults=$((faults + 1))
        fi
    done < <(sed -n 's/^#include "\([a-z_]*\/[^"]*\)".*/\1/p' "$file")
    # The layers below the Qt helpers build without Qt.
    if [[ " platform app capture appearance files printing " == *" $folder "* ]] &&
        grep -q '^#include <Q' "$file"; then
        echo "$file includes Qt, which $folder/ must build without"
        faults=$((faults + 1))
    fi
done < <(find . -mindepth 2 \( -name '*.cpp' -o -name '*.h' \) -printf '%P\0' | sort -z)

[ "$faults" -eq 0 ] || { echo "$faults include(s) against the layers"; exit 1; }
echo "every include keeps to the layers"
