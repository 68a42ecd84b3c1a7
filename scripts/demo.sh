#!/bin/sh
# Installs what is missing, builds, and starts the program in demo-data/, which is made from the
# shipped sample diary the first time.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
demo="$root/demo-data"
if [ ! -d "$demo" ]; then
    mkdir -p "$demo"
    cp "$root"/sample-data/* "$demo"/
fi
cd "$demo"
exec "$root/build/app/crooners-diary"
