#!/usr/bin/env bash
# Builds the libFuzzer target with clang (ASan and UBSan included) and fuzzes
# the game's key handling for a bounded time, starting from the small corpus
# kept in tests/fuzz/corpus. New inputs go to the build directory, never to
# the repository; a crashing input is left there as crash-* and fails the run.
#   scripts/fuzz.sh [SECONDS] [BUILD_DIR]    (defaults 60 and build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build_dir=${2:-build/fuzz}
jobs=${JOBS:-$(nproc)}

start=$(date +%s)
cmake -S . -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZENDORAK_FUZZ=ON -DZENDORAK_SOAK=OFF -DZENDORAK_GAME=OFF -DZENDORAK_BENCHMARKS=OFF \
    >/dev/null
cmake --build "$build_dir" -j "$jobs" --target zendorak_fuzz

corpus="$build_dir/fuzz-corpus"
artifacts="$build_dir/fuzz-artifacts/"
mkdir -p "$corpus" "$artifacts"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
"$build_dir/tests/fuzz/zendorak_fuzz" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -max_len=512 -timeout=60 -print_final_stats=1 -artifact_prefix="$artifacts" \
    "$corpus" tests/fuzz/corpus 2>"$build_dir/fuzz.log" || {
    tail -n 60 "$build_dir/fuzz.log"
    echo "fuzz: FAILED; the input that broke it is in $artifacts" >&2
    exit 1
}
grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$build_dir/fuzz.log" || true
echo "fuzz: no crash, leak, sanitizer report or broken rule in ${seconds} s of fuzzing" \
    "($(($(date +%s) - start)) s with the build)"
