#!/bin/sh
# Builds the libFuzzer targets with clang (address and undefined behaviour sanitizers) through
# CMake in build-fuzz/ (or $FUZZ_BUILD_DIR) and runs each, seeded from the sample diary and the
# test fixtures. Exits non-zero when a target finds a crash or a broken property.
#
# By default each target runs FUZZ_RUNS inputs (100000) from the random seed FUZZ_SEED (1), with
# Qt's hashing unseeded: from an empty corpus, as in CI, the same code then meets nearly the same
# inputs every time, where a time limit and a new seed let each run wander elsewhere.
# FUZZ_SECONDS=N explores instead, each target for N seconds from a new random seed unless
# FUZZ_SEED is given.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
if [ -n "$FUZZ_SECONDS" ]; then
    limit="-max_total_time=$FUZZ_SECONDS${FUZZ_SEED:+ -seed=$FUZZ_SEED}"
else
    limit="-runs=${FUZZ_RUNS:-100000} -seed=${FUZZ_SEED:-1}"
fi
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
# Named by content, so that the inputs and their order do not depend on where the checkout is.
find "$root/sample-data" "$root/tests/data" -type f -size -64k | while read -r file; do
    cp "$file" "$seeds/$(md5sum <"$file" | cut -c1-16)"
done

for target in $(cat "$out/fuzz-targets.txt"); do
    corpus="$out/corpus-$target"
    mkdir -p "$corpus"
    echo "== $target: $limit"
    status=0
    # $limit holds options, split at blanks on purpose.
    # shellcheck disable=SC2086
    (cd "$out" && QT_HASH_SEED=0 "./$target" $limit -print_final_stats=1 "$corpus" "$seeds" >"$target.log" 2>&1) \
        || status=$?
    grep -E "stat::number_of_executed_units|ERROR|SUMMARY" "$out/$target.log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$out/$target.log"
        echo "$target failed"
        exit 1
    fi
done
