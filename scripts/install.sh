#!/usr/bin/env bash
# Builds Dovrante and installs it for the current user: the program folder ~/.local/lib/Dovrante
# (with its data files, pictures and companion tools), the command ~/.local/bin/Dovrante, the
# desktop entry and the icon. A folder given as the argument is used in place of ~/.local.
# Installing again keeps the data files and the saved pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

configure=(cmake --preset user)
if [ $# -gt 0 ]; then
    configure+=("-DCMAKE_INSTALL_PREFIX=$(realpath -m -- "$1")")
fi
"${configure[@]}"
cmake --build --preset user
cmake --install build/user
