#!/bin/sh
# Installs what building, running and testing need on Debian 12, where it is missing. Qt Charts'
# CMake files need Qt's OpenGL ones, which its package does not pull in.
set -e
packages="cmake ninja-build g++ ccache qt6-base-dev libqt6svg6 libgl-dev libxcb1-dev qt6-translations-l10n qt6-charts-dev libqt6opengl6-dev libarchive-dev libuchardet-dev pkg-config fonts-ipafont-gothic
    python3 xvfb xdotool xauth imagemagick"
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
