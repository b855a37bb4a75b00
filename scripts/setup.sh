#!/usr/bin/env bash
# Installs the Debian 12 packages Tessary needs to build and run, and with
# --tests those its tests need too (the headless display, the programs the
# end-to-end tests paste into), skipping those already there. Uses sudo when
# not run as root.
#
#   scripts/setup.sh [--tests]
set -euo pipefail

packages=(
    g++ cmake make pkg-config
    libwxgtk3.2-dev libgtk-3-dev libxml2-dev libcurl4-openssl-dev
    libx11-dev libxtst-dev libcanberra-dev libatspi2.0-dev at-spi2-core dbus
)
if [ "${1:-}" = --tests ]; then
    packages+=(
        clang-format googletest libgtest-dev libgmock-dev libbenchmark-dev
        clang libclang-rt-dev
        xvfb xauth x11-utils x11-xkb-utils openbox xdotool xclip zenity
        xterm xfce4-terminal mousepad chromium
        trayer desktop-file-utils appstream lintian dpkg-dev file groff-base
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
