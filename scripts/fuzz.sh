#!/usr/bin/env bash
# Fuzzes what the live sources send. Builds the libFuzzer harnesses of tests/fuzz with clang,
# ASan and UBSan into FUZZ_BUILD_DIR (default build/fuzz, kept with the ordinary build) and runs
# each for FUZZ_SECONDS (default 60), starting from the recorded answers in tests/data/live,
# with the dictionary tests/fuzz/live.dict. A crash, a sanitizer report, a leak, an input taking
# over 10 s or running out of memory fails the run; the input is kept in $FUZZ_BUILD_DIR/findings.
# Skipped, with a note, where clang is not installed (scripts/setup.sh installs it).
set -euo pipefail
cd "$(dirname "$0")/.."
FUZZ_SECONDS="${FUZZ_SECONDS:-60}"
FUZZ_BUILD_DIR="${FUZZ_BUILD_DIR:-build/fuzz}"

if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is not installed; the fuzzers are skipped" >&2
    exit 0
fi
cmake -S . -B "$FUZZ_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DVETORLAN_FUZZ=ON >/dev/null
cmake --build "$FUZZ_BUILD_DIR" --target fuzz-metno fuzz-openmeteo fuzz-cache fuzz-cache-seeds

bin="$FUZZ_BUILD_DIR/tests/fuzz"
data=tests/data/live
seeds="$FUZZ_BUILD_DIR/seeds"
rm -rf "$seeds"
mkdir -p "$seeds" "$FUZZ_BUILD_DIR/findings"
"$bin/fuzz-cache-seeds" "$seeds" "$data"/metno_*[0-9].json "$data"/openmeteo_*[0-9].json
ls "$seeds"/vetorlan/*.json >/dev/null

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"
# harness, then its seeds
run() {
    local name=$1
    shift
    local corpus="$FUZZ_BUILD_DIR/corpus/$name"
    mkdir -p "$corpus"
    echo "Fuzzing $name for $FUZZ_SECONDS s"
    "$bin/fuzz-$name" -max_total_time="$FUZZ_SECONDS" -timeout=10 -dict=tests/fuzz/live.dict \
        -artifact_prefix="$FUZZ_BUILD_DIR/findings/$name-" -print_final_stats=1 \
        -seed_inputs="$(IFS=,; echo "$*")" "$corpus"
}
run metno "$data"/metno_*[0-9].json
run openmeteo "$data"/openmeteo_*[0-9].json
run cache "$seeds"/vetorlan/*.json
