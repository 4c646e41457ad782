#!/usr/bin/env bash
# clang-tidy and cppcheck over src/; any finding fails. Takes the build
# directory whose compile_commands.json describes the sources.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build/test}

mapfile -t sources < <(find src -name '*.cpp' | sort)
echo "clang-tidy: ${#sources[@]} files"
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build_dir" --quiet

echo "cppcheck"
cppcheck --quiet --error-exitcode=1 --std=c++20 --language=c++ \
    --enable=warning,style,performance,portability --inline-suppr \
    --suppress=missingIncludeSystem --suppress=unusedFunction \
    -I src src
echo "lint: no findings"
