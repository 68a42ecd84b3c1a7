#!/bin/sh
# Installs what is missing, builds the program alone, and starts it in demo-data/, which is made
# from the shipped sample diary the first time. The build goes to $BUILD_DIR (default build/).
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
BUILD_DIR="$build" BUILD_TARGET=crooners-diary "$root/scripts/build.sh"
demo="$root/demo-data"
if [ ! -d "$demo" ]; then
    mkdir -p "$demo"
    cp "$root"/sample-data/* "$demo"/
fi
cd "$demo"
exec "$build/app/crooners-diary"
