#!/usr/bin/env bash
# Writes the seed corpus of fuzz/corpus/<target>/ anew from the sample
# databases in tests/data (builds make_corpus in build-fuzz). Inputs merged in
# by scripts/fuzz.sh --merge are kept.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja \
  -DLOCKLEAF_FUZZ=ON -DLOCKLEAF_TESTS=OFF -DLOCKLEAF_BENCH=OFF -DLOCKLEAF_GUI=OFF >/dev/null
cmake --build build-fuzz --target make_corpus
build-fuzz/fuzz/make_corpus tests/data fuzz/corpus
