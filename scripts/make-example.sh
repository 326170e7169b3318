#!/usr/bin/env bash
# Makes examples/example.nte (empty password) from examples/example.json.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build --target lockleaf
rm -f examples/example.nte
echo "" | build/src/cli/lockleaf create examples/example.nte --from examples/example.json --password-stdin
