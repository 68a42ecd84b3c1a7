#!/bin/sh
# Builds the libFuzzer targets with clang (address and undefined behaviour sanitizers) through
# CMake in build-fuzz/ (or $FUZZ_BUILD_DIR) and runs each for FUZZ_SECONDS (30 by default), seeded
# from the sample diary and the test fixtures. Exits non-zero when a target finds a crash or a
# broken property.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-30}"
mkdir -p "$out"
if ! command -v clang++ >/dev/null; then
    if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends clang libclang-rt-dev
fi
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"

cmake -S "$root" -B "$out" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -g" \
    $launcher -DCROONER_BUILD_FUZZ=ON -DCROONER_BUILD_BENCH=OFF -DBUILD_TESTING=OFF
cmake --build "$out" --target fuzzers

seeds="$out/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"
find "$root/sample-data" "$root/tests/data" -type f -size -64k | while read -r file; do
    cp "$file" "$seeds/$(echo "$file" | md5sum | cut -c1-16)"
done

for target in $(cat "$out/fuzz-targets.txt"); do
    corpus="$out/corpus-$target"
    mkdir -p "$corpus"
    echo "== $target: $seconds s"
    status=0
    (cd "$out" && "./$target" -max_total_time="$seconds" -print_final_stats=1 "$corpus" "$seeds" >"$target.log" 2>&1) || status=$?
    grep -E "stat::number_of_executed_units|ERROR|SUMMARY" "$out/$target.log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$out/$target.log"
        echo "$target failed"
        exit 1
    fi
done
