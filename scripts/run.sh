#!/usr/bin/env bash
# Installs what is needed, builds Dovrante and starts it on the user's display.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release
# Only what the program needs to run: the tests and benchmarks are scripts/test.sh's to build.
cmake --build --preset program
exec build/release/Dovrante
