#!/usr/bin/env bash
# Builds lockleaf and starts it. Without arguments it shows the example
# database; with arguments it runs lockleaf with them, e.g.
#   scripts/run.sh dump examples/example.nte
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target lockleaf
lockleaf=build/src/cli/lockleaf
if (($#)); then
  exec "$lockleaf" "$@"
fi
"$lockleaf" info examples/example.nte
echo
"$lockleaf" tree examples/example.nte
echo
echo "More: $lockleaf --help"
