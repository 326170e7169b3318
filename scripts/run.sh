#!/usr/bin/env bash
# Builds the programs and starts leafdesk on the example database (empty
# password). Arguments are passed to leafdesk instead, e.g. a database path.
# Without a display it says so and shows the example with lockleaf.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target leafdesk lockleaf

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found (DISPLAY and WAYLAND_DISPLAY are not set), so leafdesk cannot open a window."
  echo "The command-line tool works without one; here is the example database:"
  echo
  build/src/cli/lockleaf info examples/example.nte
  echo
  build/src/cli/lockleaf tree examples/example.nte
  echo
  echo "More: build/src/cli/lockleaf --help"
  exit 0
fi

if (($#)); then
  exec build/src/app/leafdesk "$@"
fi
exec build/src/app/leafdesk examples/example.nte
