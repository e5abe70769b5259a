#!/usr/bin/env bash
# Starts the tool with a simulated drive attached, no hardware needed: ./scripts/run.sh
# Without a display it runs the tool on a virtual display, connects and saves screenshots.
# The simulated drive registers itself as COM1 for this user while it runs, so the connect
# button finds it; it unregisters when the tool is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

sim_com=${KINETRA_SIM_COM:-1}

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  "$build/bin/kinetra-drive-sim" --com "$sim_com" &
  sim=$!
  trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true' EXIT
  "$build/bin/kinetra"
  exit 0
fi

# No display (a server, a container): show the main job on a virtual display instead. The tool
# starts, the connect button is pressed, and pictures of the connected window are saved.
echo "No display found: running the tool on a virtual display (Xvfb) against the simulated drive."
./scripts/setup.sh xvfb xdotool imagemagick

shots=${KINETRA_SHOTS:-$PWD/screenshots}
mkdir -p "$shots"
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1400x900x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1
"$build/bin/kinetra-drive-sim" --com "$sim_com" >/dev/null &
sim=$!
sleep 1
"$build/bin/kinetra" &
tool=$!
trap 'kill "$tool" "$sim" "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true' EXIT
sleep 3
import -window root "$shots/1-offline.png"
# The connect button is the first button of the tool row, top left of the window.
xdotool mousemove 30 30 click 1
sleep 18
import -window root "$shots/2-connected.png"
echo "Screenshots of the tool before and after connecting to the simulated drive:"
echo "  $shots/1-offline.png"
echo "  $shots/2-connected.png"
