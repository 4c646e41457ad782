#!/usr/bin/env bash
# Builds the headless test suite and the soak run with AddressSanitizer (its
# leak check included) and UndefinedBehaviorSanitizer, then runs both through
# CTest. Any report stops the program that made it, so it fails the run.
#   scripts/sanitize.sh [BUILD_DIR]      (default build/asan)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build/asan}
jobs=${JOBS:-$(nproc)}
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=report_objects=1

start=$(date +%s)
# -O1 keeps the soak quick while leaving stack traces readable.
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 $sanitizers" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" \
    -DZENDORAK_GAME=OFF -DZENDORAK_BENCHMARKS=OFF -DZENDORAK_SOAK=ON >/dev/null
cmake --build "$build_dir" -j "$jobs"
(cd "$build_dir" && ctest --output-on-failure -j "$jobs")
echo "sanitize: tests and soak clean under ASan, LSan and UBSan in $(($(date +%s) - start)) s"
