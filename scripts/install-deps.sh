#!/usr/bin/env bash
# Installs what Dovrante needs to build and run, and with --tests what its tests and benchmarks need
# too, from Debian 12 packages only.
set -euo pipefail

# What Dovrante needs to build and run.
packages=(
    cmake ninja-build g++ libgtest-dev libgmock-dev
    qt6-base-dev qt6-base-dev-tools libxcb1-dev libfontconfig-dev libpng-dev pkg-config qt6-image-formats-plugins libqt6printsupport6 libcups2-dev
    # Without it a Wayland session without XWayland could not even show why Dovrante cannot start.
    qt6-wayland
    fonts-dejavu-core xdg-utils
    # The companion stand-ins say in a message box (xmessage) what they cannot open.
    x11-utils
)
# What its tests and benchmarks need besides; `--tests` installs these too.
test_packages=(
    # The desktop entry is checked with desktop-file-validate.
    desktop-file-utils
    # The sources are checked against .clang-format by the tests.
    clang-format
    # The end-to-end tests: a virtual display, the real clipboard and keys, screenshots, a printer.
    xvfb xauth xclip xdotool imagemagick openbox
    # xrandr: the test display gets two monitors.
    x11-xserver-utils
    cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils fontconfig procps
    # The test printer's backend makes its PDFs with Ghostscript.
    ghostscript
)
if [ "${1:-}" = --tests ]; then packages+=("${test_packages[@]}"); fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    # Recommends would pull in systemd and desktop services the program does not need.
    $sudo apt-get update
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
