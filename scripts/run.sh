#!/usr/bin/env bash
# Installs what is needed, builds Dovrante and starts it on the user's display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
exec build/release/Dovrante
