#!/usr/bin/env bash
# Configures and builds into ./build; the program folder is ./build/program.
#
#   scripts/build.sh [CMAKE OPTIONS]              everything: programs, tests, fuzz, benchmarks
#   scripts/build.sh --programs [CMAKE OPTIONS]   the two programs and what they need
#
# A configured build folder is not configured again (the build itself re-runs
# CMake when a CMake file changed), unless options are given.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=()
if [ "${1:-}" = "--programs" ]; then
  targets=(--target ZEBLON TALMOR)
  shift
fi
if [ ! -f build/build.ninja ] || [ $# -gt 0 ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
fi
cmake --build build --parallel "$(nproc)" "${targets[@]}"
