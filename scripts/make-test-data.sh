#!/usr/bin/env bash
# Writes the sample databases of tests/data anew from the generator in tests/store.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build --target make_test_data
build/tests/store/make_test_data tests/data
