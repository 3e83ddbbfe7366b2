#!/usr/bin/env bash
# Removes what scripts/install.sh installed, as the list that the install left in its build folder
# (build/user, or the folder given) names it. The data files, the ideas and folder-names files, the
# saved pictures and any folder still holding something stay.
set -euo pipefail
if [ $# -gt 0 ]; then
    build="$(realpath -m -- "$1")"
else
    build="$(dirname "$0")/../build/user"
fi
exec cmake -P "$build/dovrante_uninstall.cmake"
