#!/bin/sh
# Builds the libFuzzer targets with clang (address and undefined behaviour sanitizers) in
# build-fuzz/ and runs each for FUZZ_SECONDS (30 by default), seeded from the sample diary and
# the test fixtures. Exits non-zero when a target finds a crash or a broken property.
set -e
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-30}"
mkdir -p "$out"
if ! command -v clang++ >/dev/null || ! command -v pkg-config >/dev/null; then
    if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends clang pkg-config libclang-rt-dev
fi
flags="-std=c++20 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root"
qt="$(pkg-config --cflags --libs Qt6Core)"
textfile="$root/textfile/Cp932.cpp $root/textfile/TextEncoding.cpp $root/textfile/TextLines.cpp $root/textfile/DataFile.cpp $root/textfile/FileReplace.cpp $root/textfile/SystemReason.cpp $root/textfile/Records.cpp"

build() {
    name="$1"
    shift
    clang++ $flags "$root/fuzz/$name.cpp" "$@" $textfile $qt -o "$out/$name"
}
build fuzz_cp932
build fuzz_diary "$root/diary/DiaryBook.cpp"
build fuzz_records "$root/catalogue/SongCatalogue.cpp" "$root/artists/ArtistCatalogue.cpp" "$root/personal/PersonalData.cpp"
build fuzz_list_file "$root/diary/ChoiceList.cpp"

seeds="$out/seeds"
rm -rf "$seeds"
mkdir -p "$seeds"
find "$root/sample-data" "$root/tests/data" -type f -size -64k | while read -r file; do
    cp "$file" "$seeds/$(echo "$file" | md5sum | cut -c1-16)"
done

for target in fuzz_cp932 fuzz_diary fuzz_records fuzz_list_file; do
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
