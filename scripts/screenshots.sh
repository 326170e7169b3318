#!/usr/bin/env bash
# Takes screenshots of leafdesk in a virtual display: the main window on the
# example database, the start-up chooser, the password prompt and the
# database properties dialog. Writes PNG files to the folder given (default
# build/screenshots). Settings and file-type files go to a scratch folder.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots}")
mkdir -p "$out"

scripts/install-deps.sh
need=()
for p in xvfb xauth xdotool imagemagick openbox; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if ((${#need[@]})); then
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${need[@]}"
fi
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target leafdesk

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data XDG_RUNTIME_DIR=$scratch/run
mkdir -m 700 -p "$XDG_RUNTIME_DIR"

cat > "$scratch/shots.sh" <<'INNER'
set -euo pipefail
out=$1
openbox >/dev/null 2>&1 &
sleep 1
shot() { sleep 1.5; import -window root "$out/$1.png"; }
start() {
  build/src/app/leafdesk "$@" >/dev/null 2>&1 &
  pid=$!
  sleep 2.5
}
stop() { kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; }

# The main window on the example database, with a note selected.
start examples/example.nte
xdotool key --clearmodifiers Down Down Down Down
shot main-window
# Database Properties from the Tools menu.
xdotool key --clearmodifiers alt+o Up Return
shot database-properties
xdotool key --clearmodifiers Escape
stop

# No file: the start-up chooser.
start
shot start-up-chooser
xdotool key --clearmodifiers Escape
stop

# A database with a password: the prompt.
start tests/data/v3-sample.nte
xdotool type --delay 50 'not it'
shot password-prompt
stop
INNER
xvfb-run -a -s "-screen 0 900x560x24" bash "$scratch/shots.sh" "$out"
ls "$out"
