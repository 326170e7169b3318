#!/usr/bin/env bash
# Builds everything and runs every test.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer, in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
extra=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  extra=(-DLOCKLEAF_SANITIZE=ON -DLOCKLEAF_BENCH=OFF)
fi

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja "${extra[@]}"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
