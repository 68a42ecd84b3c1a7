#!/bin/sh
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ (or the
# folder given as $ASAN_BUILD_DIR) and runs every test there. Any sanitizer report ends its test
# with a failure, so the script fails when a test or a sanitizer does. Then builds the test of the
# tables read on a second thread with ThreadSanitizer in build-tsan/ (or $TSAN_BUILD_DIR) and runs
# it: a data race fails it.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ASAN_BUILD_DIR:-$root/build-asan}"
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
launcher=""
command -v ccache >/dev/null && launcher="-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug $launcher \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags"
cmake --build "$build" -j"$(nproc)"

# Leaks are reported at exit; the suppressions name only libraries that are not ours.
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS
(cd "$build" && ctest --output-on-failure -j"$(nproc)")

tsan_build="${TSAN_BUILD_DIR:-$root/build-tsan}"
tsan_flags="-fsanitize=thread -fno-omit-frame-pointer"
cmake -S "$root" -B "$tsan_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug $launcher \
    -DCMAKE_CXX_FLAGS="$tsan_flags" -DCMAKE_EXE_LINKER_FLAGS="$tsan_flags"
cmake --build "$tsan_build" -j"$(nproc)" --target test_shared_tables
TSAN_OPTIONS="halt_on_error=1 suppressions=$root/scripts/tsan-suppressions.txt" "$tsan_build/tests/test_shared_tables"
