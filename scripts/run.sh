#!/usr/bin/env bash
# Starts the tool with a simulated drive attached, no hardware needed: ./scripts/run.sh
# Without a display it runs the tool on a virtual display, connects and saves screenshots.
# The simulated drive registers itself as COM1 for this user while it runs, so the connect
# button finds it; it unregisters when the tool is closed.
#   BUILD_DIR       build folder (default build)
#   KINETRA_SIM_COM COM number the simulated drive takes (default 1)
#   KINETRA_SHOTS   folder of the screenshots without a display (default screenshots)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
build=${BUILD_DIR:-build}

# A build folder configured for another checkout cannot build this one: use one of our own.
if [ -f "$build/CMakeCache.txt" ]; then
  source_dir=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
  if [ -n "$source_dir" ] && [ "$(cd "$source_dir" 2>/dev/null && pwd -P)" != "$(pwd -P)" ]; then
    own="$build-$(pwd -P | cksum | cut -d' ' -f1)"
    echo "$build was configured for $source_dir; building this checkout in $own instead."
    build=$own
  fi
fi

# Only what this command runs: the tool and the simulated drive.
if [ ! -x "$build/bin/kinetra" ]; then
  echo "First build of the tool and the simulated drive: about 5 minutes on 2 cores."
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target kinetra kinetra-drive-sim

# One window per user: a second start only brings the first to the front, so no second
# simulated drive is started for it.
if pgrep -u "$(id -u)" -x kinetra >/dev/null; then
  echo "Kinetra is already running (with the simulated drive it was started with, if any)."
  [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && "$build/bin/kinetra"
  exit 0
fi

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
# The first display number nobody uses.
number=90
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do
  number=$((number + 1))
done
display=:$number
echo "Virtual display $display"
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
