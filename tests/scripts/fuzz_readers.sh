#!/usr/bin/env bash
# Fuzzes the readers of files that come from outside, the recording reader, the replay
# script reader and the readers of the player's settings and best times, with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer. The
# targets are a small project of their own (fuzz/), built with clang beside the build
# they are run from. Each target runs for HEARTHLY_FUZZ_SECONDS (default 30) from the corpus
# kept in fuzz/corpus; what it finds on the way is thrown away, a fault fails the test
# and prints the input that caused it.
#
# Usage: fuzz_readers.sh <hearthly> <hearthly-replay> <test data dir>
#        HEARTHLY_FUZZ_SECONDS=3600 ctest --test-dir build-test -R fuzz   (a longer run)
set -euo pipefail

hearthly=$1
source=$(cd "$(dirname "$0")/../../fuzz" && pwd)
build=$(cd "$(dirname "$hearthly")" && pwd)/fuzz
seconds=${HEARTHLY_FUZZ_SECONDS:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

command -v clang++ >/dev/null || fail "clang++ is missing (scripts/install-deps installs it)"
cmake -S "$source" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >"$work/configure.log" 2>&1 || fail "cannot configure the fuzz targets: $(tail -n 20 "$work/configure.log")"
cmake --build "$build" -j2 >"$work/build.log" 2>&1 || fail "cannot build the fuzz targets: $(tail -n 30 "$work/build.log")"

summary=()
for target in recording script settings scores; do
    mkdir -p "$work/$target"
    status=0
    # The first folder takes what the run finds; the kept corpus is only read.
    "$build/fuzz_$target" "$work/$target" "$source/corpus/$target" -dict="$source/$target.dict" \
        -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
        -artifact_prefix="$work/$target-" >"$work/$target.log" 2>&1 || status=$?
    if ((status != 0)); then
        tail -n 40 "$work/$target.log" >&2
        for artifact in "$work/$target"-*; do
            [[ -e $artifact ]] || continue
            echo "--- the input, as bytes ($artifact) ---" >&2
            od -c "$artifact" | head -n 40 >&2
        done
        fail "the $target reader failed under the fuzzer"
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
    edges=$(grep -Eo 'cov: [0-9]+' "$work/$target.log" | tail -n 1 | cut -d' ' -f2)
    counters=$(sed -n 's/.*Loaded 1 modules *(\([0-9]*\) inline 8-bit counters).*/\1/p' "$work/$target.log" | head -n 1)
    summary+=("$target: $runs runs in ${seconds}s, $edges of $counters edges covered, $(find "$work/$target" -type f | wc -l) new inputs")
done
printf 'fuzz_readers: %s\n' "${summary[@]}"
