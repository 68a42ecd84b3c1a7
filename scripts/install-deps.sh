#!/bin/sh
# Installs the packages of scripts/packages.txt that are missing on Debian 12, and makes the
# de_DE.UTF-8 locale the number tests read under when it is not there.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
packages="$(grep -v '^#' "$root/scripts/packages.txt")"
missing=""
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing="$missing $package"
done
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
if [ -n "$missing" ]; then
    $sudo apt-get update
    # shellcheck disable=SC2086 # one word per package
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
fi
locale -a | grep -qx 'de_DE.utf8' || $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
